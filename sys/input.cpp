#include "sys/input.h"

#include "sys/window.h"

#include <SDL.h>

#include <cstring>
#include <mutex>

namespace sys {

namespace {

// SDL scancodes (USB usage order) to PC scan codes, for the keys that have one.
struct ScanPair {
    SDL_Scancode sdl;
    uint8_t scan;
};
constexpr ScanPair kScanPairs[] = {
    {SDL_SCANCODE_ESCAPE, 0x01},
    {SDL_SCANCODE_1, 0x02},
    {SDL_SCANCODE_2, 0x03},
    {SDL_SCANCODE_3, 0x04},
    {SDL_SCANCODE_4, 0x05},
    {SDL_SCANCODE_5, 0x06},
    {SDL_SCANCODE_6, 0x07},
    {SDL_SCANCODE_7, 0x08},
    {SDL_SCANCODE_8, 0x09},
    {SDL_SCANCODE_9, 0x0A},
    {SDL_SCANCODE_0, 0x0B},
    {SDL_SCANCODE_MINUS, 0x0C},
    {SDL_SCANCODE_EQUALS, 0x0D},
    {SDL_SCANCODE_BACKSPACE, 0x0E},
    {SDL_SCANCODE_TAB, 0x0F},
    {SDL_SCANCODE_Q, 0x10},
    {SDL_SCANCODE_W, 0x11},
    {SDL_SCANCODE_E, 0x12},
    {SDL_SCANCODE_R, 0x13},
    {SDL_SCANCODE_T, 0x14},
    {SDL_SCANCODE_Y, 0x15},
    {SDL_SCANCODE_U, 0x16},
    {SDL_SCANCODE_I, 0x17},
    {SDL_SCANCODE_O, 0x18},
    {SDL_SCANCODE_P, 0x19},
    {SDL_SCANCODE_LEFTBRACKET, 0x1A},
    {SDL_SCANCODE_RIGHTBRACKET, 0x1B},
    {SDL_SCANCODE_RETURN, 0x1C},
    {SDL_SCANCODE_LCTRL, 0x1D},
    {SDL_SCANCODE_A, 0x1E},
    {SDL_SCANCODE_S, 0x1F},
    {SDL_SCANCODE_D, 0x20},
    {SDL_SCANCODE_F, 0x21},
    {SDL_SCANCODE_G, 0x22},
    {SDL_SCANCODE_H, 0x23},
    {SDL_SCANCODE_J, 0x24},
    {SDL_SCANCODE_K, 0x25},
    {SDL_SCANCODE_L, 0x26},
    {SDL_SCANCODE_SEMICOLON, 0x27},
    {SDL_SCANCODE_APOSTROPHE, 0x28},
    {SDL_SCANCODE_GRAVE, 0x29},
    {SDL_SCANCODE_LSHIFT, 0x2A},
    {SDL_SCANCODE_BACKSLASH, 0x2B},
    {SDL_SCANCODE_NONUSHASH, 0x2B},
    {SDL_SCANCODE_Z, 0x2C},
    {SDL_SCANCODE_X, 0x2D},
    {SDL_SCANCODE_C, 0x2E},
    {SDL_SCANCODE_V, 0x2F},
    {SDL_SCANCODE_B, 0x30},
    {SDL_SCANCODE_N, 0x31},
    {SDL_SCANCODE_M, 0x32},
    {SDL_SCANCODE_COMMA, 0x33},
    {SDL_SCANCODE_PERIOD, 0x34},
    {SDL_SCANCODE_SLASH, 0x35},
    {SDL_SCANCODE_RSHIFT, 0x36},
    {SDL_SCANCODE_KP_MULTIPLY, 0x37},
    {SDL_SCANCODE_LALT, 0x38},
    {SDL_SCANCODE_SPACE, 0x39},
    {SDL_SCANCODE_CAPSLOCK, 0x3A},
    {SDL_SCANCODE_F1, 0x3B},
    {SDL_SCANCODE_F2, 0x3C},
    {SDL_SCANCODE_F3, 0x3D},
    {SDL_SCANCODE_F4, 0x3E},
    {SDL_SCANCODE_F5, 0x3F},
    {SDL_SCANCODE_F6, 0x40},
    {SDL_SCANCODE_F7, 0x41},
    {SDL_SCANCODE_F8, 0x42},
    {SDL_SCANCODE_F9, 0x43},
    {SDL_SCANCODE_F10, 0x44},
    {SDL_SCANCODE_NUMLOCKCLEAR, 0x45},
    {SDL_SCANCODE_SCROLLLOCK, 0x46},
    {SDL_SCANCODE_KP_7, 0x47},
    {SDL_SCANCODE_KP_8, 0x48},
    {SDL_SCANCODE_KP_9, 0x49},
    {SDL_SCANCODE_KP_MINUS, 0x4A},
    {SDL_SCANCODE_KP_4, 0x4B},
    {SDL_SCANCODE_KP_5, 0x4C},
    {SDL_SCANCODE_KP_6, 0x4D},
    {SDL_SCANCODE_KP_PLUS, 0x4E},
    {SDL_SCANCODE_KP_1, 0x4F},
    {SDL_SCANCODE_KP_2, 0x50},
    {SDL_SCANCODE_KP_3, 0x51},
    {SDL_SCANCODE_KP_0, 0x52},
    {SDL_SCANCODE_KP_PERIOD, 0x53},
    {SDL_SCANCODE_NONUSBACKSLASH, 0x56},
    {SDL_SCANCODE_F11, 0x57},
    {SDL_SCANCODE_F12, 0x58},
    {SDL_SCANCODE_F13, 0x64},
    {SDL_SCANCODE_F14, 0x65},
    {SDL_SCANCODE_F15, 0x66},
    {SDL_SCANCODE_INTERNATIONAL2, 0x70}, // kana
    {SDL_SCANCODE_INTERNATIONAL1, 0x73}, // ro
    {SDL_SCANCODE_INTERNATIONAL4, 0x79}, // henkan
    {SDL_SCANCODE_INTERNATIONAL5, 0x7B}, // muhenkan
    {SDL_SCANCODE_INTERNATIONAL3, 0x7D}, // yen
    {SDL_SCANCODE_KP_COMMA, 0x7E},
    {SDL_SCANCODE_KP_EQUALS, 0x8D},
    {SDL_SCANCODE_AUDIOPREV, 0x90},
    {SDL_SCANCODE_STOP, 0x95},
    {SDL_SCANCODE_AUDIONEXT, 0x99},
    {SDL_SCANCODE_KP_ENTER, 0x9C},
    {SDL_SCANCODE_RCTRL, 0x9D},
    {SDL_SCANCODE_AUDIOMUTE, 0xA0},
    {SDL_SCANCODE_CALCULATOR, 0xA1},
    {SDL_SCANCODE_AUDIOPLAY, 0xA2},
    {SDL_SCANCODE_AUDIOSTOP, 0xA4},
    {SDL_SCANCODE_VOLUMEDOWN, 0xAE},
    {SDL_SCANCODE_VOLUMEUP, 0xB0},
    {SDL_SCANCODE_AC_HOME, 0xB2},
    {SDL_SCANCODE_KP_DIVIDE, 0xB5},
    {SDL_SCANCODE_PRINTSCREEN, 0xB7},
    {SDL_SCANCODE_SYSREQ, 0xB7},
    {SDL_SCANCODE_RALT, 0xB8},
    {SDL_SCANCODE_PAUSE, 0xC5},
    {SDL_SCANCODE_HOME, 0xC7},
    {SDL_SCANCODE_UP, 0xC8},
    {SDL_SCANCODE_PAGEUP, 0xC9},
    {SDL_SCANCODE_LEFT, 0xCB},
    {SDL_SCANCODE_RIGHT, 0xCD},
    {SDL_SCANCODE_END, 0xCF},
    {SDL_SCANCODE_DOWN, 0xD0},
    {SDL_SCANCODE_PAGEDOWN, 0xD1},
    {SDL_SCANCODE_INSERT, 0xD2},
    {SDL_SCANCODE_DELETE, 0xD3},
    {SDL_SCANCODE_LGUI, 0xDB},
    {SDL_SCANCODE_RGUI, 0xDC},
    {SDL_SCANCODE_APPLICATION, 0xDD},
    {SDL_SCANCODE_POWER, 0xDE},
    {SDL_SCANCODE_SLEEP, 0xDF},
    {SDL_SCANCODE_AC_SEARCH, 0xE5},
    {SDL_SCANCODE_AC_BOOKMARKS, 0xE6},
    {SDL_SCANCODE_AC_REFRESH, 0xE7},
    {SDL_SCANCODE_AC_STOP, 0xE8},
    {SDL_SCANCODE_AC_FORWARD, 0xE9},
    {SDL_SCANCODE_AC_BACK, 0xEA},
    {SDL_SCANCODE_COMPUTER, 0xEB},
    {SDL_SCANCODE_MAIL, 0xEC},
    {SDL_SCANCODE_MEDIASELECT, 0xED},
};

struct ScanTable {
    uint8_t scan[SDL_NUM_SCANCODES] = {};
    constexpr ScanTable() {
        for (const ScanPair& p : kScanPairs)
            scan[p.sdl] = p.scan;
    }
};
constexpr ScanTable kScanTable;

// Window-thread bookkeeping of an open pad.
struct Slot {
    SDL_JoystickID instance = -1;
    SDL_GameController* controller = nullptr;
    SDL_Joystick* joystick = nullptr;
    bool Used() const { return controller || joystick; }
};

// Window thread only.
Slot g_slots[kPadSlots];
bool g_started = false;
bool g_padsReady = false;
uint32_t g_arrivals = 0;

// The copies the main thread reads.
std::mutex g_lock;
uint8_t g_keys[kKeyCount];
MouseState g_mouse;
PadState g_pads[kPadSlots];

int16_t FlipVertical(Sint16 v) {
    return v == -32768 ? int16_t(32767) : int16_t(-v);
}

uint8_t TriggerByte(Sint16 v) {
    if (v <= 0)
        return 0;
    return static_cast<uint8_t>((int32_t(v) * 255 + 16383) / 32767);
}

uint16_t ControllerBit(int button) {
    switch (button) {
    case SDL_CONTROLLER_BUTTON_DPAD_UP:
        return kPadUp;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
        return kPadDown;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
        return kPadLeft;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
        return kPadRight;
    case SDL_CONTROLLER_BUTTON_START:
        return kPadStart;
    case SDL_CONTROLLER_BUTTON_BACK:
        return kPadBack;
    case SDL_CONTROLLER_BUTTON_LEFTSTICK:
        return kPadLeftThumb;
    case SDL_CONTROLLER_BUTTON_RIGHTSTICK:
        return kPadRightThumb;
    case SDL_CONTROLLER_BUTTON_LEFTSHOULDER:
        return kPadLeftShoulder;
    case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER:
        return kPadRightShoulder;
    case SDL_CONTROLLER_BUTTON_A:
        return kPadA;
    case SDL_CONTROLLER_BUTTON_B:
        return kPadB;
    case SDL_CONTROLLER_BUTTON_X:
        return kPadX;
    case SDL_CONTROLLER_BUTTON_Y:
        return kPadY;
    default:
        return 0;
    }
}

void SetControllerAxis(ControllerState& c, int axis, Sint16 v) {
    switch (axis) {
    case SDL_CONTROLLER_AXIS_LEFTX:
        c.leftX = v;
        break;
    case SDL_CONTROLLER_AXIS_LEFTY:
        c.leftY = FlipVertical(v);
        break;
    case SDL_CONTROLLER_AXIS_RIGHTX:
        c.rightX = v;
        break;
    case SDL_CONTROLLER_AXIS_RIGHTY:
        c.rightY = FlipVertical(v);
        break;
    case SDL_CONTROLLER_AXIS_TRIGGERLEFT:
        c.leftTrigger = TriggerByte(v);
        break;
    case SDL_CONTROLLER_AXIS_TRIGGERRIGHT:
        c.rightTrigger = TriggerByte(v);
        break;
    default:
        break;
    }
}

void SetControllerButton(ControllerState& c, int button, bool down) {
    const uint16_t bit = ControllerBit(button);
    c.buttons = down ? uint16_t(c.buttons | bit) : uint16_t(c.buttons & ~bit);
}

uint32_t HatAngle(Uint8 hat) {
    switch (hat) {
    case SDL_HAT_UP:
        return 0;
    case SDL_HAT_RIGHTUP:
        return 4500;
    case SDL_HAT_RIGHT:
        return 9000;
    case SDL_HAT_RIGHTDOWN:
        return 13500;
    case SDL_HAT_DOWN:
        return 18000;
    case SDL_HAT_LEFTDOWN:
        return 22500;
    case SDL_HAT_LEFT:
        return 27000;
    case SDL_HAT_LEFTUP:
        return 31500;
    default:
        return kHatCentred;
    }
}

int FindSlot(SDL_JoystickID instance) {
    for (unsigned s = 0; s < kPadSlots; ++s)
        if (g_slots[s].Used() && g_slots[s].instance == instance)
            return static_cast<int>(s);
    return -1;
}

void ClosePad(unsigned s) {
    Slot& slot = g_slots[s];
    if (slot.controller)
        SDL_GameControllerClose(slot.controller);
    else if (slot.joystick)
        SDL_JoystickClose(slot.joystick);
    slot = Slot{};
    std::lock_guard<std::mutex> g(g_lock);
    g_pads[s] = PadState{};
}

// Opens device `index` into slot `s`, reading its present state.
void OpenPad(unsigned s, int index) {
    PadState pad;
    Slot slot;
    if (SDL_IsGameController(index))
        slot.controller = SDL_GameControllerOpen(index);
    if (slot.controller) {
        slot.joystick = SDL_GameControllerGetJoystick(slot.controller);
        pad.kind = PadKind::Controller;
        for (int a = 0; a < SDL_CONTROLLER_AXIS_MAX; ++a)
            SetControllerAxis(
                pad.controller, a,
                SDL_GameControllerGetAxis(slot.controller, static_cast<SDL_GameControllerAxis>(a)));
        for (int b = 0; b < SDL_CONTROLLER_BUTTON_MAX; ++b)
            SetControllerButton(pad.controller, b,
                                SDL_GameControllerGetButton(
                                    slot.controller, static_cast<SDL_GameControllerButton>(b)));
    } else {
        slot.joystick = SDL_JoystickOpen(index);
        if (!slot.joystick)
            return;
        pad.kind = PadKind::Joystick;
        const int axes = SDL_JoystickNumAxes(slot.joystick);
        for (int a = 0; a < axes && a < int(kJoystickAxes); ++a) {
            pad.axisMask |= 1u << a;
            pad.joystick.axes[a] = SDL_JoystickGetAxis(slot.joystick, a);
        }
        if (SDL_JoystickNumHats(slot.joystick) > 0)
            pad.joystick.hat = HatAngle(SDL_JoystickGetHat(slot.joystick, 0));
        const int buttons = SDL_JoystickNumButtons(slot.joystick);
        for (int b = 0; b < buttons && b < int(kJoystickButtons); ++b)
            pad.joystick.buttons[b] = SDL_JoystickGetButton(slot.joystick, b) ? 0x80 : 0;
    }
    slot.instance = SDL_JoystickInstanceID(slot.joystick);
    pad.arrival = ++g_arrivals;
    g_slots[s] = slot;
    std::lock_guard<std::mutex> g(g_lock);
    g_pads[s] = pad;
}

// Brings the slots in line with the attached devices: gone ones are closed,
// new ones take the lowest free slot, and a joystick that the controller
// database has come to know is opened again as a controller. Working from the
// device list rather than the event's index copes with indices that moved
// between the event and now.
void Rescan() {
    const int count = SDL_NumJoysticks();
    for (unsigned s = 0; s < kPadSlots; ++s) {
        if (!g_slots[s].Used())
            continue;
        int index = -1;
        for (int i = 0; i < count && index < 0; ++i)
            if (SDL_JoystickGetDeviceInstanceID(i) == g_slots[s].instance)
                index = i;
        if (index < 0) {
            ClosePad(s);
        } else if (!g_slots[s].controller && SDL_IsGameController(index)) {
            ClosePad(s);
            OpenPad(s, index);
        }
    }
    for (int i = 0; i < count; ++i) {
        if (FindSlot(SDL_JoystickGetDeviceInstanceID(i)) >= 0)
            continue;
        for (unsigned s = 0; s < kPadSlots; ++s) {
            if (!g_slots[s].Used()) {
                OpenPad(s, i);
                break;
            }
        }
    }
}

PadState* PadOf(SDL_JoystickID instance, PadKind kind) {
    const int s = FindSlot(instance);
    if (s < 0 || g_pads[s].kind != kind)
        return nullptr;
    return &g_pads[s];
}

void SetMouseButton(Uint8 button, bool down) {
    if (button == SDL_BUTTON_LEFT)
        g_mouse.left = down;
    else if (button == SDL_BUTTON_RIGHT)
        g_mouse.right = down;
    else if (button == SDL_BUTTON_MIDDLE)
        g_mouse.middle = down;
}

void Watch(const void* event, void*) {
    const SDL_Event& e = *static_cast<const SDL_Event*>(event);
    switch (e.type) {
    case SDL_JOYDEVICEADDED:
    case SDL_JOYDEVICEREMOVED:
    case SDL_CONTROLLERDEVICEADDED:
    case SDL_CONTROLLERDEVICEREMOVED:
        Rescan();
        return;
    default:
        break;
    }
    std::lock_guard<std::mutex> g(g_lock);
    switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        if (const uint8_t scan = ScanCodeOf(e.key.keysym.scancode))
            g_keys[scan] = e.type == SDL_KEYDOWN ? 0x80 : 0;
        break;
    case SDL_MOUSEMOTION:
        g_mouse.x = e.motion.x;
        g_mouse.y = e.motion.y;
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        g_mouse.x = e.button.x;
        g_mouse.y = e.button.y;
        SetMouseButton(e.button.button, e.type == SDL_MOUSEBUTTONDOWN);
        break;
    case SDL_MOUSEWHEEL:
        g_mouse.wheel += e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
        break;
    case SDL_CONTROLLERAXISMOTION:
        if (PadState* p = PadOf(e.caxis.which, PadKind::Controller))
            SetControllerAxis(p->controller, e.caxis.axis, e.caxis.value);
        break;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
        if (PadState* p = PadOf(e.cbutton.which, PadKind::Controller))
            SetControllerButton(p->controller, e.cbutton.button,
                                e.type == SDL_CONTROLLERBUTTONDOWN);
        break;
    case SDL_JOYAXISMOTION:
        if (PadState* p = PadOf(e.jaxis.which, PadKind::Joystick))
            if (e.jaxis.axis < kJoystickAxes)
                p->joystick.axes[e.jaxis.axis] = e.jaxis.value;
        break;
    case SDL_JOYHATMOTION:
        if (PadState* p = PadOf(e.jhat.which, PadKind::Joystick))
            if (e.jhat.hat == 0)
                p->joystick.hat = HatAngle(e.jhat.value);
        break;
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP:
        if (PadState* p = PadOf(e.jbutton.which, PadKind::Joystick))
            if (e.jbutton.button < kJoystickButtons)
                p->joystick.buttons[e.jbutton.button] = e.type == SDL_JOYBUTTONDOWN ? 0x80 : 0;
        break;
    default:
        break;
    }
}

void ClearState() {
    std::lock_guard<std::mutex> g(g_lock);
    std::memset(g_keys, 0, sizeof(g_keys));
    g_mouse = MouseState{};
    for (PadState& p : g_pads)
        p = PadState{};
}

void StartOnWindowThread(void*) {
    if (g_started)
        return;
    ClearState();
    AddEventWatcher(&Watch, nullptr);
    // Pads keep reporting while the window is in the background, as the
    // game expects of them.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    g_padsReady = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    g_started = true;
    if (g_padsReady)
        Rescan();
}

void StopOnWindowThread(void*) {
    if (!g_started)
        return;
    RemoveEventWatcher(&Watch, nullptr);
    for (unsigned s = 0; s < kPadSlots; ++s)
        if (g_slots[s].Used())
            ClosePad(s);
    if (g_padsReady)
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    g_padsReady = false;
    g_started = false;
    ClearState();
}

} // namespace

uint8_t ScanCodeOf(int sdlScancode) {
    if (sdlScancode <= 0 || sdlScancode >= SDL_NUM_SCANCODES)
        return 0;
    return kScanTable.scan[sdlScancode];
}

bool StartInput() {
    RunOnWindowThread(&StartOnWindowThread, nullptr);
    return g_padsReady;
}

void StopInput() {
    RunOnWindowThread(&StopOnWindowThread, nullptr);
}

void ReadKeyboard(uint8_t (&keys)[kKeyCount]) {
    std::lock_guard<std::mutex> g(g_lock);
    std::memcpy(keys, g_keys, sizeof(g_keys));
}

void ReadMouse(MouseState& mouse) {
    std::lock_guard<std::mutex> g(g_lock);
    mouse = g_mouse;
}

void ReadPads(PadState (&pads)[kPadSlots]) {
    std::lock_guard<std::mutex> g(g_lock);
    for (unsigned s = 0; s < kPadSlots; ++s)
        pads[s] = g_pads[s];
}

} // namespace sys
