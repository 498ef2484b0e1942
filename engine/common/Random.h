#pragma once

#include <cstdint>

namespace Mireku::Common {

// xorshift128; its sequences are part of replays and must stay bit-exact.
class Random {
public:
    Random() { Seed(0); }
    explicit Random(uint32_t seed) { Seed(seed); }

    void Seed(uint32_t s);
    uint32_t Next();
    // One step, then lo + w mod (hi - lo + 1); the full 32-bit range is not allowed.
    int32_t Range(int32_t lo, int32_t hi);
    // One step, then lo + (hi - lo) x a float in [0, 1) from the word's low
    // 23 bits; the rounding of that sum can give hi itself.
    float RangeFloat(float lo, float hi);

    uint32_t x = 0, y = 0, z = 0, w = 0;
};

} // namespace Mireku::Common
