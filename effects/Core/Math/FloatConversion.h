#pragma once

#include <cstdint>
#include <limits>

namespace FulgorCore::Math {

// Truncation toward zero of a float read from effect data or computed from
// it. Converting NaN or a value outside the integer's range is undefined in
// C++; the runtime's effect data was authored against the processor's
// answer, the "integer indefinite" value with only the sign bit set, so
// every such conversion goes through these two functions and gets exactly
// that.
inline int32_t TruncateToInt32(float f) {
    if (!(f >= -2147483648.0f && f < 2147483648.0f))
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(f);
}

inline int64_t TruncateToInt64(float f) {
    if (!(f >= -9223372036854775808.0f && f < 9223372036854775808.0f))
        return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(f);
}

} // namespace FulgorCore::Math
