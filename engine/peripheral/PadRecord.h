#pragma once

#include "sys/input.h"

#include <cstdint>

namespace Mireku::Peripheral {

// One pad slot as the engine reads it: every button and every half of every
// axis becomes a control value (0-1, past a dead zone) with a button state.
//
// Pad codes index the controls: 0-31 buttons; 32 + 2k the negative half of
// axis k, 33 + 2k its positive half. Controllers fill buttons 0 start, 1 back,
// 2 left thumb, 3 right thumb, 4 left shoulder, 5 right shoulder, 6 A, 7 B,
// 8 X, 9 Y, and axes 0-1 the d-pad, 2-3 the left stick, 4-5 the right stick
// (down positive), 6-7 the triggers. Raw joysticks fill axes 0-27 and their
// hat as axes 28 (x) and 29 (y).
class PadRecord {
public:
    static constexpr uint32_t kControlCount = 92;
    static constexpr uint32_t kButtonCount = 32;
    static constexpr uint32_t kAxisCount = 30;
    static constexpr uint32_t kHatAxisX = 28;
    static constexpr uint32_t kHatAxisY = 29;

    static constexpr uint32_t NegativeCode(uint32_t axis) { return kButtonCount + 2 * axis; }
    static constexpr uint32_t PositiveCode(uint32_t axis) { return kButtonCount + 2 * axis + 1; }
    // The dead zone: the first fifth of travel reads as nothing.
    static constexpr float DeadZone(float v) {
        v = (v - 0.2f) * 1.25f;
        return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
    }

    // Reads the slot's present state and advances every control's state.
    // An empty slot reads as all controls released.
    void Update(const sys::PadState& in);

    bool IsConnected() const { return connected_ != 0; }
    bool IsController() const { return controller_ != 0; }
    float GetValue(uint32_t code) const { return code < kControlCount ? values_[code] : 0.0f; }
    uint32_t GetState(uint32_t code) const { return code < kControlCount ? states_[code] : 0; }
    float GetAxis(uint32_t axis) const { return axis < kAxisCount ? axes_[axis] : 0.0f; }

private:
    struct Calibration {
        int32_t centre = 0;
        int32_t halfRange = 0;
        float scale = 0.0f;
    };

    void Calibrate(uint32_t axisMask);
    void ReadController(const sys::ControllerState& c);
    void ReadJoystick(const sys::JoystickState& j);
    void Clear();

    uint8_t controller_ = 0;
    uint8_t connected_ = 0;
    uint32_t arrival_ = 0;
    Calibration calibration_[sys::kJoystickAxes];
    float values_[kControlCount] = {};
    uint32_t states_[kControlCount] = {};
    float axes_[kAxisCount] = {};
    uint8_t buttons_[kButtonCount] = {};
};

} // namespace Mireku::Peripheral
