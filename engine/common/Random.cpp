#include "engine/common/Random.h"

#include <cstring>

namespace Mireku::Common {

void Random::Seed(uint32_t s) {
    x = ((s >> 30) ^ s) * 1812433253u + 1u;
    y = ((x >> 30) ^ x) * 1812433253u + 2u;
    z = ((y >> 30) ^ y) * 1812433253u + 3u;
    w = ((z >> 30) ^ z) * 1812433253u + 4u;
}

uint32_t Random::Next() {
    uint32_t t = x ^ (x << 11);
    x = y;
    y = z;
    z = w;
    w = w ^ (w >> 19) ^ t ^ (t >> 8);
    return w;
}

int32_t Random::Range(int32_t lo, int32_t hi) {
    uint32_t v = Next();
    uint32_t span = static_cast<uint32_t>(hi) - static_cast<uint32_t>(lo) + 1u;
    if (span == 0)
        return static_cast<int32_t>(static_cast<uint32_t>(lo) + v);
    return static_cast<int32_t>(static_cast<uint32_t>(lo) + v % span);
}

float Random::RangeFloat(float lo, float hi) {
    uint32_t bits = 0x3F800000u | (Next() & 0x7FFFFFu);
    float f;
    std::memcpy(&f, &bits, sizeof(f));
    return (f - 1.0f) * (hi - lo) + lo;
}

} // namespace Mireku::Common
