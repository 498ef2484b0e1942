#include "engine/peripheral/VirtualButton.h"

namespace Mireku::Peripheral {

// With delay 30 and interval 6, a button that goes down on frame 0 pulses on
// frames 31, 37, 43, ... for as long as it stays held.
void VirtualButton::Advance(float value) {
    value_ = value;
    state_ = AdvanceButtonState(state_, value);
    repeatPulse_ = 0;
    if (repeatDelay_ < 0 || repeatInterval_ <= 0)
        return;
    if (state_ == kButtonHeld) {
        if (repeatCounter_ >= repeatDelay_ &&
            (repeatCounter_ - repeatDelay_) % repeatInterval_ == 0)
            repeatPulse_ = 1;
        ++repeatCounter_;
    } else {
        repeatCounter_ = 0;
    }
}

} // namespace Mireku::Peripheral
