#include "engine/peripheral/PadDevice.h"

namespace Mireku::Peripheral {

// Pads need no set-up of their own: the input service opens each one as it
// arrives, and its slot is read from the next frame on.
bool PadDevice::Initialize(void* window) {
    (void)window;
    return true;
}

void PadDevice::Update() {
    sys::ReadPads(snapshot_);
    for (uint32_t p = 0; p < kPadCount; ++p)
        pads_[p].Update(snapshot_[p]);
}

} // namespace Mireku::Peripheral
