#pragma once

#include <cstdint>

namespace FulgorCore::Math {

// 16-bit floats: sign in bit 15, exponent (bias 15) in bits 10-14, mantissa
// in bits 0-9. Packing truncates the mantissa and clamps the exponent at 31;
// magnitudes below 2^-15 (and zero) pack to 0.
uint16_t FloatToHalf(float f);
float HalfToFloat(uint16_t h);

} // namespace FulgorCore::Math
