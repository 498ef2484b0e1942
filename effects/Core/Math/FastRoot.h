#pragma once

#include <cstdint>
#include <cstring>

namespace FulgorCore::Math {

// The runtime's two square roots work on the float's bit pattern. Effect data
// was authored against their exact results (unit vectors come out about 0.2%
// short), so both are kept bit for bit rather than replaced by exact roots.

// One Newton step from the 0x5F375A86 seed. No guard for zero or negatives.
inline float ReciprocalSqrt(float s) {
    int32_t i;
    std::memcpy(&i, &s, 4);
    // Unsigned arithmetic: the seed minus a negative half pattern would
    // overflow a signed word.
    const uint32_t seed = 0x5F375A86u - static_cast<uint32_t>(i >> 1);
    float y;
    std::memcpy(&y, &seed, 4);
    return y * (1.5f - 0.5f * s * y * y);
}

// Halves the exponent of |s| without refinement: exact for even powers of
// two, within a few percent elsewhere.
inline float ApproxSqrt(float s) {
    int32_t i;
    std::memcpy(&i, &s, 4);
    i &= 0x7FFFFFFF;
    i -= 0x3F800000;
    i >>= 1;
    i += 0x3F800000;
    float r;
    std::memcpy(&r, &i, 4);
    return r;
}

} // namespace FulgorCore::Math
