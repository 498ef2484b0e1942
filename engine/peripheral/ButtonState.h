// The four-state life of a digital button, shared by pad controls and virtual
// buttons: each frame's state follows from the previous one and whether the
// button's value is past the press threshold.
#pragma once

#include <cstdint>

namespace Mireku::Peripheral {

enum ButtonState : uint32_t {
    kButtonUp = 0,
    kButtonReleased = 1, // went up this frame
    kButtonPressed = 2,  // went down this frame
    kButtonHeld = 3,     // down this frame and the previous one
};

// A value counts as down only strictly above this.
constexpr float kPressThreshold = 0.3f;

constexpr uint32_t AdvanceButtonState(uint32_t state, float value) {
    const bool down = value > kPressThreshold;
    if (state == kButtonPressed || state == kButtonHeld)
        return down ? kButtonHeld : kButtonReleased;
    return down ? kButtonPressed : kButtonUp;
}

} // namespace Mireku::Peripheral
