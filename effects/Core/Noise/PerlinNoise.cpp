#include "effects/Core/Noise/PerlinNoise.h"

#include "effects/Core/Math/FloatConversion.h"
#include "effects/Core/Noise/Xorshift128.h"

#include <cmath>
#include <utility>

namespace FulgorCore {

namespace {

float Fade(float t) {
    return ((6.0f * t - 15.0f) * t + 10.0f) * t * t * t;
}

float Lerp(float t, float a, float b) {
    return a + t * (b - a);
}

float Gradient(uint32_t hash, float dx, float dy, float dz) {
    const uint32_t h = hash & 15u;
    const float u = h < 8 ? dx : dy;
    const float v = h < 4 ? dy : (h == 12 || h == 14 ? dx : dz);
    return ((h & 1u) ? -u : u) + ((h & 2u) ? -v : v);
}

// Lattice cell of a coordinate (exact floor, also below zero) and the
// fraction within it. NaN and huge values land in cell 0 instead of an
// undefined conversion.
uint32_t Cell(float v, float& fraction) {
    const float f = std::floor(v);
    fraction = v - f;
    return static_cast<uint32_t>(Math::TruncateToInt32(f)) & 255u;
}

} // namespace

void PerlinNoise::Initialize(uint32_t seed) {
    Xorshift128 random;
    random.Seed(seed);
    for (uint32_t i = 0; i < 256; ++i)
        table_[i] = static_cast<uint8_t>(i);
    for (int i = 0; i < 1024; ++i) {
        const uint32_t a = random.Next() & 255u;
        const uint32_t b = random.Next() & 255u;
        std::swap(table_[a], table_[b]);
    }
    for (uint32_t i = 0; i < 256; ++i)
        table_[256 + i] = table_[i];
}

float PerlinNoise::Noise3(float x, float y, float z) const {
    float fx, fy, fz;
    const uint32_t X = Cell(x, fx);
    const uint32_t Y = Cell(y, fy);
    const uint32_t Z = Cell(z, fz);
    const float u = Fade(fx), v = Fade(fy), w = Fade(fz);
    const uint8_t* p = table_;
    const uint32_t A = p[X] + Y, AA = p[A] + Z, AB = p[A + 1] + Z;
    const uint32_t B = p[X + 1] + Y, BA = p[B] + Z, BB = p[B + 1] + Z;
    return Lerp(
        w,
        Lerp(v, Lerp(u, Gradient(p[AA], fx, fy, fz), Gradient(p[BA], fx - 1, fy, fz)),
             Lerp(u, Gradient(p[AB], fx, fy - 1, fz), Gradient(p[BB], fx - 1, fy - 1, fz))),
        Lerp(v,
             Lerp(u, Gradient(p[AA + 1], fx, fy, fz - 1), Gradient(p[BA + 1], fx - 1, fy, fz - 1)),
             Lerp(u, Gradient(p[AB + 1], fx, fy - 1, fz - 1),
                  Gradient(p[BB + 1], fx - 1, fy - 1, fz - 1))));
}

float PerlinNoise::Fractal1(float x, int32_t octaves) const {
    return Fractal3(x, 0.0f, 0.0f, octaves);
}

float PerlinNoise::Fractal2(float x, float y, int32_t octaves) const {
    return Fractal3(x, y, 0.0f, octaves);
}

float PerlinNoise::Fractal3(float x, float y, float z, int32_t octaves) const {
    float sum = 0.0f;
    float amplitude = 1.0f;
    for (int32_t i = 0; i < octaves; ++i) {
        sum += Noise3(x, y, z) * amplitude;
        x *= 2.0f;
        y *= 2.0f;
        z *= 2.0f;
        amplitude *= 0.5f;
    }
    return sum;
}

} // namespace FulgorCore
