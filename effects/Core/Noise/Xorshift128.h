#pragma once

#include <cstdint>
#include <cstring>

namespace FulgorCore {

// The runtime's own random generator: four words of xorshift128. Every
// cosmetic draw of the effects runtime comes from one of these states, never
// from the game's random streams and never seeded from a clock, so effects
// cannot change a replay.
struct Xorshift128 {
    // The state every generator starts from before it is seeded.
    static constexpr uint32_t kInitial[4] = {123456789u, 362436069u, 521288629u, 88675123u};

    uint32_t x = kInitial[0];
    uint32_t y = kInitial[1];
    uint32_t z = kInitial[2];
    uint32_t w = kInitial[3];

    // m_i = 1812433253 * (m_(i-1) ^ (m_(i-1) >> 30)) + i for i = 1..4, from
    // m_0 = seed; the state is (m1, m2, m3, m4).
    void Seed(uint32_t seed) {
        uint32_t* words[4] = {&x, &y, &z, &w};
        uint32_t m = seed;
        for (uint32_t i = 1; i <= 4; ++i) {
            m = 1812433253u * (m ^ (m >> 30)) + i;
            *words[i - 1] = m;
        }
    }

    uint32_t Next() { return Step(x, y, z, w); }

    // A float in [0, 1) from the low 23 bits of one step.
    float NextFloat01() { return ToFloat01(Next()); }

    // One step on four words wherever they are held.
    static uint32_t Step(uint32_t& x, uint32_t& y, uint32_t& z, uint32_t& w) {
        const uint32_t t = x ^ (x << 11);
        x = y;
        y = z;
        z = w;
        w = w ^ (w >> 19) ^ t ^ (t >> 8);
        return w;
    }
    static float ToFloat01(uint32_t word) {
        const uint32_t bits = (word & 0x7FFFFFu) | 0x3F800000u;
        float f;
        std::memcpy(&f, &bits, 4);
        return f - 1.0f;
    }
};

} // namespace FulgorCore
