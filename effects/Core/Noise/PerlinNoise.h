#pragma once

#include <cstdint>

namespace FulgorCore {

// Improved gradient noise over a 256-entry permutation (repeated once so
// that corner hashes need no wrap), shuffled by xorshift128 from a seed.
class PerlinNoise {
public:
    static constexpr uint32_t kConstructionSeed = 0x7F7F7F7Fu;

    PerlinNoise() { Initialize(kConstructionSeed); }

    // 1024 swaps of two drawn entries, then entries 0-255 copied to 256-511.
    void Initialize(uint32_t seed);

    float Noise1(float x) const { return Noise3(x, 0.0f, 0.0f); }
    float Noise2(float x, float y) const { return Noise3(x, y, 0.0f); }
    float Noise3(float x, float y, float z) const;

    // Octave sums: each octave doubles the point and halves the amplitude;
    // fewer than one octave gives 0.
    float Fractal1(float x, int32_t octaves) const;
    float Fractal2(float x, float y, int32_t octaves) const;
    float Fractal3(float x, float y, float z, int32_t octaves) const;

    const uint8_t* Table() const { return table_; }

private:
    uint8_t table_[512];
};

} // namespace FulgorCore
