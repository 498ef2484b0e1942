#include "effects/Core/Noise/HalfFloat.h"

#include <cstring>

namespace FulgorCore::Math {

uint16_t FloatToHalf(float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    const int32_t exponent = static_cast<int32_t>((bits >> 23) & 0xFF);
    // Exponent 112 would be a half denormal and anything smaller is out of
    // the packed range: both give 0.
    if ((bits & 0x7FFFFFFFu) == 0 || exponent <= 112)
        return 0;
    int32_t e = exponent - 112;
    if (e > 31)
        e = 31;
    const uint32_t sign = (bits >> 16) & 0x8000u;
    const uint32_t mantissa = (bits >> 13) & 0x3FFu;
    return static_cast<uint16_t>(sign | (static_cast<uint32_t>(e) << 10) | mantissa);
}

float HalfToFloat(uint16_t h) {
    if (h == 0)
        return 0.0f;
    const uint32_t sign = static_cast<uint32_t>(h & 0x8000u) << 16;
    const uint32_t exponent = ((h >> 10) & 0x1Fu) + 112;
    const uint32_t mantissa = static_cast<uint32_t>(h & 0x3FFu) << 13;
    const uint32_t bits = sign | (exponent << 23) | mantissa;
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

} // namespace FulgorCore::Math
