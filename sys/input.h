// Keyboard, mouse and game pads on SDL2. Events arrive on the window thread
// (see sys/window.h), which keeps a copy of every device's state; the main
// thread reads those copies under a lock, once per frame.
//
// Pads take the lowest free of 16 slots when they arrive and keep it until
// they are removed. A device that SDL's game-controller database knows reads
// as a "controller": the fixed layout with d-pad, two sticks, two triggers and
// ten buttons. Any other device reads as a raw "joystick": 28 axes, one hat
// and 32 buttons.
#pragma once

#include <cstdint>

namespace sys {

constexpr unsigned kKeyCount = 256;
constexpr unsigned kPadSlots = 16;
constexpr unsigned kJoystickAxes = 28;
constexpr unsigned kJoystickButtons = 32;
// Every raw joystick axis reports in this range.
constexpr int32_t kJoystickAxisMin = -32768;
constexpr int32_t kJoystickAxisMax = 32767;
// Hat direction in hundredths of a degree clockwise from up, or centred.
constexpr uint32_t kHatCentred = 0xFFFFFFFFu;

// Controller buttons, one bit each.
enum ControllerButton : uint16_t {
    kPadUp = 0x0001,
    kPadDown = 0x0002,
    kPadLeft = 0x0004,
    kPadRight = 0x0008,
    kPadStart = 0x0010,
    kPadBack = 0x0020,
    kPadLeftThumb = 0x0040,
    kPadRightThumb = 0x0080,
    kPadLeftShoulder = 0x0100,
    kPadRightShoulder = 0x0200,
    kPadA = 0x1000,
    kPadB = 0x2000,
    kPadX = 0x4000,
    kPadY = 0x8000,
};

struct ControllerState {
    uint16_t buttons = 0; // ControllerButton bits
    uint8_t leftTrigger = 0;
    uint8_t rightTrigger = 0; // 0-255
    int16_t leftX = 0;
    int16_t leftY = 0; // up positive
    int16_t rightX = 0;
    int16_t rightY = 0; // up positive
};

struct JoystickState {
    int32_t axes[kJoystickAxes] = {};
    uint32_t hat = kHatCentred;
    uint8_t buttons[kJoystickButtons] = {}; // 0x80 = down
};

enum class PadKind : uint8_t { None, Controller, Joystick };

struct PadState {
    PadKind kind = PadKind::None;
    // Changes every time a device arrives in the slot.
    uint32_t arrival = 0;
    // Joysticks: bit k set when axis k exists.
    uint32_t axisMask = 0;
    ControllerState controller;
    JoystickState joystick;
};

struct MouseState {
    int32_t x = 0;
    int32_t y = 0; // client coordinates of the last position seen
    bool left = false;
    bool right = false;
    bool middle = false;
    int32_t wheel = 0; // notches turned away from the user since start
};

// Starts watching input on the window thread and brings up the pad subsystem
// there; pads already attached are in their slots when this returns. False
// when pads are unavailable (keyboard and mouse still work).
bool StartInput();
// Closes every pad and stops watching. Safe without StartInput.
void StopInput();

// Byte k has bit 7 set while PC scan code k is down.
void ReadKeyboard(uint8_t (&keys)[kKeyCount]);
void ReadMouse(MouseState& mouse);
void ReadPads(PadState (&pads)[kPadSlots]);

// The PC scan code of an SDL scancode, 0 for keys without one.
uint8_t ScanCodeOf(int sdlScancode);

} // namespace sys
