// Input tests run the window's message loop on a thread of its own, as the
// game does, post SDL events from the test thread and attach virtual pads.
// Every helper waits until the window thread has handled what it posted, so
// a test reads the devices deterministically.
#pragma once

#include "sys/input.h"
#include "sys/window.h"

#include <SDL.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <type_traits>

namespace input_test {

// Runs `f` on the window thread (right here when no loop runs).
template <class F> void OnWindowThread(F&& f) {
    using Fn = std::remove_reference_t<F>;
    sys::RunOnWindowThread([](void* user) { (*static_cast<Fn*>(user))(); }, &f);
}

// Returns once every event posted before has reached the input watchers.
inline void Sync() {
    OnWindowThread([] {});
}

// Lets SDL turn virtual-pad changes into events, then waits for them.
inline void SyncPads() {
    OnWindowThread([] { SDL_JoystickUpdate(); });
    Sync();
}

class WindowLoop {
public:
    WindowLoop() {
        thread_ = std::thread([this] {
            const bool ok = sys::CreateMainWindow("input test", 64, 64) == sys::WindowResult::Ok;
            windowThread_ = std::this_thread::get_id();
            created_ = ok ? 1 : 2;
            if (!ok)
                return;
            sys::RunMessageLoop(sys::WindowCallbacks{});
            sys::DestroyMainWindow();
        });
        while (created_.load() == 0)
            std::this_thread::yield();
        if (created_.load() != 1)
            return;
        // The loop is up once a call handed to it runs on its thread.
        for (;;) {
            std::thread::id ranOn;
            OnWindowThread([&ranOn] { ranOn = std::this_thread::get_id(); });
            if (ranOn == windowThread_)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    ~WindowLoop() {
        if (created_.load() == 1)
            sys::PostQuit();
        thread_.join();
    }
    bool IsOpen() const { return created_.load() == 1; }

private:
    std::thread thread_;
    std::thread::id windowThread_;
    std::atomic<int> created_{0};
};

inline void PushKey(SDL_Scancode key, bool down) {
    SDL_Event e;
    std::memset(&e, 0, sizeof(e));
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.scancode = key;
    SDL_PushEvent(&e);
}

// Presses or releases a key and waits until the input state has it.
inline void Key(SDL_Scancode key, bool down) {
    PushKey(key, down);
    Sync();
}

// A virtual pad: a game controller (the standard layout, which SDL's
// controller database knows) or a raw joystick that it does not know.
class VirtualPad {
public:
    static VirtualPad Controller() {
        SDL_VirtualJoystickDesc d;
        std::memset(&d, 0, sizeof(d));
        d.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        d.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        d.naxes = SDL_CONTROLLER_AXIS_MAX;
        d.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        d.axis_mask = (1u << SDL_CONTROLLER_AXIS_MAX) - 1;
        d.button_mask = (1u << SDL_CONTROLLER_BUTTON_MAX) - 1;
        d.name = "test controller";
        VirtualPad pad(d);
        // Triggers rest at the bottom of the axis range.
        pad.Axis(SDL_CONTROLLER_AXIS_TRIGGERLEFT, SDL_JOYSTICK_AXIS_MIN);
        pad.Axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, SDL_JOYSTICK_AXIS_MIN);
        SyncPads();
        return pad;
    }
    static VirtualPad Joystick(int axes, int buttons, int hats) {
        SDL_VirtualJoystickDesc d;
        std::memset(&d, 0, sizeof(d));
        d.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        d.type = SDL_JOYSTICK_TYPE_UNKNOWN;
        d.naxes = static_cast<Uint16>(axes);
        d.nbuttons = static_cast<Uint16>(buttons);
        d.nhats = static_cast<Uint16>(hats);
        d.name = "test joystick";
        VirtualPad pad(d);
        SyncPads();
        return pad;
    }

    VirtualPad(VirtualPad&& o) noexcept : joystick_(o.joystick_), instance_(o.instance_) {
        o.joystick_ = nullptr;
    }
    ~VirtualPad() { Detach(); }

    bool IsAttached() const { return joystick_ != nullptr; }

    // Raw joystick values; for a controller, axes and buttons by the SDL
    // controller numbering (the virtual controller maps them one to one).
    void Axis(int axis, Sint16 value) {
        OnWindowThread([&] { SDL_JoystickSetVirtualAxis(joystick_, axis, value); });
    }
    void Button(int button, bool down) {
        OnWindowThread([&] { SDL_JoystickSetVirtualButton(joystick_, button, down ? 1 : 0); });
    }
    void Hat(Uint8 value) {
        OnWindowThread([&] { SDL_JoystickSetVirtualHat(joystick_, 0, value); });
    }

    // Unplugs the pad and waits until the input state has seen it go.
    void Detach() {
        if (!joystick_)
            return;
        OnWindowThread([this] {
            SDL_JoystickClose(joystick_);
            for (int i = 0; i < SDL_NumJoysticks(); ++i)
                if (SDL_JoystickGetDeviceInstanceID(i) == instance_)
                    SDL_JoystickDetachVirtual(i);
        });
        joystick_ = nullptr;
        Sync();
    }

private:
    explicit VirtualPad(const SDL_VirtualJoystickDesc& desc) {
        OnWindowThread([&] {
            const int index = SDL_JoystickAttachVirtualEx(&desc);
            joystick_ = index >= 0 ? SDL_JoystickOpen(index) : nullptr;
            instance_ = joystick_ ? SDL_JoystickInstanceID(joystick_) : -1;
        });
    }

    SDL_Joystick* joystick_ = nullptr;
    SDL_JoystickID instance_ = -1;
};

} // namespace input_test
