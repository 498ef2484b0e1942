#include "engine/peripheral/MouseDevice.h"

#include "engine/peripheral/ButtonState.h"

namespace Mireku::Peripheral {

namespace {

uint32_t Step(uint32_t state, bool down) {
    return AdvanceButtonState(state, down ? 1.0f : 0.0f);
}

} // namespace

void MouseDevice::Update() {
    sys::ReadMouse(snapshot_);
    left_ = Step(left_, snapshot_.left);
    right_ = Step(right_, snapshot_.right);
    middle_ = Step(middle_, snapshot_.middle);
    dx_ = snapshot_.x - x_;
    dy_ = snapshot_.y - y_;
    x_ = snapshot_.x;
    y_ = snapshot_.y;
}

} // namespace Mireku::Peripheral
