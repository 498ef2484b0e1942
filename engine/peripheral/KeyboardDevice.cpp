#include "engine/peripheral/KeyboardDevice.h"

namespace Mireku::Peripheral {

// Key events reach the window whenever it has the focus; there is nothing to
// acquire.
bool KeyboardDevice::Initialize(void* window) {
    (void)window;
    return true;
}

void KeyboardDevice::Update() {
    sys::ReadKeyboard(state_);
}

} // namespace Mireku::Peripheral
