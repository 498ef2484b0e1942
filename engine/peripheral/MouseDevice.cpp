#include "engine/peripheral/MouseDevice.h"

namespace Mireku::Peripheral {

// State = previous down + 2 x down now: 0 up, 1 released, 2 pressed, 3 held.
uint32_t MouseDevice::Step(uint8_t& wasDown, bool down) {
    const uint32_t state = wasDown + (down ? 2u : 0u);
    wasDown = down ? 1 : 0;
    return state;
}

void MouseDevice::Update() {
    sys::ReadMouse(snapshot_);
    left_ = Step(leftWasDown_, snapshot_.left);
    right_ = Step(rightWasDown_, snapshot_.right);
    middle_ = Step(middleWasDown_, snapshot_.middle);
    dx_ = snapshot_.x - x_;
    dy_ = snapshot_.y - y_;
    x_ = snapshot_.x;
    y_ = snapshot_.y;
}

} // namespace Mireku::Peripheral
