#pragma once

#include "effects/Core/Math/FloatConversion.h"

#include <algorithm>
#include <cstdint>

namespace FulgorCore {

// The key searches shared by curves, colour gradients and linear tracks:
// keys hold integer times, so the segment search compares integers.

// The segment [i, i + 1] of count keys (count >= 2) to evaluate at target:
// a binary search for the last key before target, 0 when there is none.
// Keys out of order cannot move the answer off the list.
template <class Key, class TimeOf>
int32_t FindSegment(const Key* keys, uint32_t count, int32_t target, TimeOf timeOf) {
    int32_t lo = 0;
    int32_t hi = static_cast<int32_t>(count) - 1;
    while (lo <= hi) {
        const int32_t mid = (lo + hi) >> 1;
        if (timeOf(keys[mid]) < target)
            lo = mid + 1;
        else
            hi = mid - 1;
    }
    return std::clamp(lo - 1, 0, static_cast<int32_t>(count) - 2);
}

// The repeats k of a time past the keys: trunc(past) div span + 1 for a
// span above 0 (callers clamp keys that span no time), in float because k
// multiplies floats.
inline float RepeatCount(float past, int64_t span) {
    return static_cast<float>(Math::TruncateToInt64(past) / span + 1);
}

} // namespace FulgorCore
