#pragma once

#include <cstdint>

namespace FulgorCore {

// A curve key as the runtime keeps it: the time as a signed 29-bit count of
// hundredths above the segment kind (0 Hermite, 1 linear, 2 step) of the
// segment that ends at this key, then the value and the two tangents of the
// segment that begins here.
struct CurveKey {
    uint32_t timeAndKind;
    float value;
    float startTangent;
    float endTangent;

    int32_t GetTime() const { return static_cast<int32_t>(timeAndKind) >> 3; }
    // The kind as a signed 3-bit number.
    int32_t GetKind() const { return static_cast<int32_t>(timeAndKind << 29) >> 29; }
};

static_assert(sizeof(CurveKey) == 16);

} // namespace FulgorCore
