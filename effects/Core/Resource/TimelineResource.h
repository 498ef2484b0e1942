#pragma once

#include "effects/Core/Data/BuildContext.h"
#include "effects/Core/Resource/TimelineClip.h"
#include "effects/Core/Resource/TimelineItem.h"

#include <cstdint>

namespace FulgorCore {

struct Chunk;

// A package timeline ("Tmln"): its length and loop span in frames and its
// items, each with the clip it may carry.
//
// Damage that fails the load: a negative "TlIC", a "TlIC" after items, more
// "TmlI" than "TlIC" announced, and an item of "Type" 1 without a clip.
class TimelineResource {
public:
    void Read(const BuildContext& context, const void* payload, uint32_t size);

    uint32_t GetItemCount() const { return static_cast<uint32_t>(itemCount_); }
    // Null past the count.
    const TimelineItem* GetItem(uint32_t i) const {
        return i < GetItemCount() && items_ ? &items_[i] : nullptr;
    }
    uint32_t GetClipCount() const { return GetItemCount(); }
    // Null past the count and for an item without a clip.
    const TimelineClip* GetClip(uint32_t i) const {
        return i < GetItemCount() && clips_ ? clips_[i] : nullptr;
    }
    // "Len", "LpSt", "LpEd".
    float GetLength() const { return length_; }
    float GetLoopStart() const { return loopStart_; }
    float GetLoopEnd() const { return loopEnd_; }

private:
    void ReadItem(const BuildContext& context, const Chunk& item, uint32_t index);

    float length_ = 0.0f;
    float loopStart_ = 0.0f;
    float loopEnd_ = 0.0f;
    int16_t itemCount_ = 0;
    TimelineItem* items_ = nullptr;
    TimelineClip** clips_ = nullptr;
};

} // namespace FulgorCore
