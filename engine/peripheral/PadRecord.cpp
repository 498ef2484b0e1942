#include "engine/peripheral/PadRecord.h"

#include "engine/peripheral/ButtonState.h"

#include <cmath>
#include <cstring>
#include <numbers>

namespace Mireku::Peripheral {

namespace {

// Controller buttons in pad-code order.
constexpr uint16_t kControllerButtons[] = {
    sys::kPadStart,
    sys::kPadBack,
    sys::kPadLeftThumb,
    sys::kPadRightThumb,
    sys::kPadLeftShoulder,
    sys::kPadRightShoulder,
    sys::kPadA,
    sys::kPadB,
    sys::kPadX,
    sys::kPadY,
};

float Direction(bool negative, bool positive) {
    return (positive ? 1.0f : 0.0f) - (negative ? 1.0f : 0.0f);
}

} // namespace

void PadRecord::Clear() {
    std::memset(axes_, 0, sizeof(axes_));
    std::memset(buttons_, 0, sizeof(buttons_));
}

// Every joystick axis has the same fixed range; an axis the device lacks gets
// a zero scale and reads as centred.
void PadRecord::Calibrate(uint32_t axisMask) {
    for (uint32_t a = 0; a < sys::kJoystickAxes; ++a) {
        Calibration& c = calibration_[a];
        c = Calibration{};
        if (!(axisMask & (1u << a)))
            continue;
        c.centre = (sys::kJoystickAxisMin + sys::kJoystickAxisMax) / 2;
        c.halfRange = std::abs(sys::kJoystickAxisMax - c.centre);
        c.scale = c.halfRange ? 1.0f / static_cast<float>(c.halfRange) : 0.0f;
    }
}

void PadRecord::ReadController(const sys::ControllerState& c) {
    for (uint32_t b = 0; b < sizeof(kControllerButtons) / sizeof(kControllerButtons[0]); ++b)
        buttons_[b] = (c.buttons & kControllerButtons[b]) ? 1 : 0;
    axes_[0] = Direction(c.buttons & sys::kPadLeft, c.buttons & sys::kPadRight);
    axes_[1] = Direction(c.buttons & sys::kPadUp, c.buttons & sys::kPadDown);
    axes_[2] = static_cast<float>(c.leftX) / 32767.0f;
    axes_[3] = -static_cast<float>(c.leftY) / 32767.0f;
    axes_[4] = static_cast<float>(c.rightX) / 32767.0f;
    axes_[5] = -static_cast<float>(c.rightY) / 32767.0f;
    axes_[6] = static_cast<float>(c.leftTrigger) / 255.0f;
    axes_[7] = static_cast<float>(c.rightTrigger) / 255.0f;
}

void PadRecord::ReadJoystick(const sys::JoystickState& j) {
    for (uint32_t a = 0; a < sys::kJoystickAxes; ++a)
        axes_[a] = static_cast<float>(j.axes[a] - calibration_[a].centre) * calibration_[a].scale;
    if ((j.hat & 0xFFFF) == 0xFFFF) {
        axes_[kHatAxisX] = 0.0f;
        axes_[kHatAxisY] = 0.0f;
    } else {
        const float radians =
            (static_cast<float>(j.hat) / 100.0f - 90.0f) * std::numbers::pi_v<float> / 180.0f;
        axes_[kHatAxisX] = std::cos(radians);
        axes_[kHatAxisY] = std::sin(radians);
    }
    for (uint32_t b = 0; b < kButtonCount; ++b)
        buttons_[b] = (j.buttons[b] & 0x80) ? 1 : 0;
}

void PadRecord::Update(const sys::PadState& in) {
    Clear();
    connected_ = in.kind != sys::PadKind::None;
    controller_ = in.kind == sys::PadKind::Controller;
    if (in.kind == sys::PadKind::Controller) {
        ReadController(in.controller);
    } else if (in.kind == sys::PadKind::Joystick) {
        if (in.arrival != arrival_)
            Calibrate(in.axisMask);
        ReadJoystick(in.joystick);
    }
    arrival_ = in.arrival;

    for (uint32_t b = 0; b < kButtonCount; ++b)
        values_[b] = buttons_[b] ? 1.0f : 0.0f;
    for (uint32_t a = 0; a < kAxisCount; ++a) {
        values_[NegativeCode(a)] = axes_[a] < 0.0f ? -axes_[a] : 0.0f;
        values_[PositiveCode(a)] = axes_[a] > 0.0f ? axes_[a] : 0.0f;
    }
    for (uint32_t c = 0; c < kControlCount; ++c) {
        values_[c] = DeadZone(values_[c]);
        states_[c] = AdvanceButtonState(states_[c], values_[c]);
    }
}

} // namespace Mireku::Peripheral
