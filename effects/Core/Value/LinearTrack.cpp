#include "effects/Core/Value/LinearTrack.h"

#include "effects/Core/Data/BuildContext.h"
#include "effects/Core/Data/RecordPlacement.h"
#include "effects/Core/Value/KeySearch.h"

#include <algorithm>
#include <cmath>

namespace FulgorCore {

void LinearTrack::Initialize(const BuildContext& context, const void* data, uint32_t size,
                             bool loop, float length) {
    const uint32_t count = std::min(size / uint32_t{sizeof(Entry)}, kMaxEntries);
    entries_ = static_cast<const Entry*>(
        CopyToBlock(context.allocator, data, count * uint32_t{sizeof(Entry)}));
    const uint32_t kept = entries_ ? count : 0;
    length_ = length;
    word_ = kept | (kept != 1 ? kNotSingle : 0u) | (kept > 2 ? kSearch : 0u) | (loop ? kLoop : 0u);
}

float LinearTrack::Evaluate(const EvaluationContext& context) const {
    const uint32_t count = GetEntryCount();
    if (count == 0)
        return 0.0f;
    if (count == 1)
        return entries_[0].value;
    const float x = std::fmod(context.timeA, length_) * 100.0f;
    const Entry& first = entries_[0];
    const Entry& last = entries_[count - 1];
    if (static_cast<float>(first.time) >= x)
        return first.value;
    if (x >= static_cast<float>(last.time))
        return last.value;
    int32_t i = 0;
    if (word_ & kSearch)
        i = FindSegment(entries_, count, Math::TruncateToInt32(std::floor(x)),
                        [](const Entry& e) { return e.time; });
    const Entry& a = entries_[i];
    const Entry& b = entries_[i + 1];
    const float ta = static_cast<float>(a.time);
    return a.value + (x - ta) / (static_cast<float>(b.time) - ta) * (b.value - a.value);
}

} // namespace FulgorCore
