#pragma once

#include <cstdint>

namespace FulgorCore {

// One timed entry of an emitter ("GeTI").
class EmitterTimedEntry {
public:
    void Read(const void* payload, uint32_t size);

    uint32_t GetEnbl() const { return enabled_; }
    uint32_t GetTgtI() const { return target_; }
    uint32_t GetGnCn() const { return count_; }
    // "GnIv", from its signed 16-bit payload.
    float GetGnIv() const { return interval_; }
    // "StFr", "EdFr".
    float GetStartFrame() const { return startFrame_; }
    float GetEndFrame() const { return endFrame_; }
    uint32_t GetGnDI() const { return gnDI_; }
    // "VlSc" as the file holds it.
    uint32_t GetVlSc() const { return vlSc_; }

private:
    uint16_t enabled_ = 0;
    uint16_t target_ = 0;
    uint16_t count_ = 0;
    float interval_ = 0.0f;
    float startFrame_ = 0.0f;
    float endFrame_ = 0.0f;
    uint32_t gnDI_ = 0;
    uint32_t vlSc_ = 0;
};

} // namespace FulgorCore
