#pragma once

#include "engine/common/Singleton.h"
#include "engine/common/SingletonObject.h"
#include "engine/peripheral/PadRecord.h"

#include <cstdint>

namespace Mireku::Peripheral {

// Every game pad: one record per pad slot. Pads come and go while the game
// runs; a slot keeps its number while its pad stays attached, and an empty
// slot reads as all controls released.
class PadDevice : public Common::SingletonObject, public Common::Singleton<PadDevice> {
public:
    static constexpr uint32_t kPadCount = sys::kPadSlots;

    bool Initialize(void* window);
    void Update();

    uint32_t GetPadCount() const { return kPadCount; }
    // The control state of a pad code; 0 (up) for a pad or code out of range.
    uint32_t GetState(uint32_t pad, uint32_t code) const {
        return pad < kPadCount ? pads_[pad].GetState(code) : 0;
    }
    // The control value of a pad code; 0 for a pad or code out of range.
    float GetValue(uint32_t pad, uint32_t code) const {
        return pad < kPadCount ? pads_[pad].GetValue(code) : 0.0f;
    }
    const PadRecord* GetPad(uint32_t pad) const { return pad < kPadCount ? &pads_[pad] : nullptr; }

private:
    PadRecord pads_[kPadCount];
    sys::PadState snapshot_[kPadCount];
};

} // namespace Mireku::Peripheral
