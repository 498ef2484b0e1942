#include "effects/Core/Noise/CurlNoise.h"

#include "effects/Core/Math/FloatConversion.h"
#include "effects/Core/Math/Shaping.h"
#include "effects/Core/Math/Vector3.h"
#include "effects/Core/Noise/HashRandom.h"

#include <cmath>
#include <utility>

namespace FulgorCore {

namespace {

constexpr float kPi = 3.1415927f;
constexpr float kTwoPi = 6.2831855f;

float Fade(float t) {
    return ((6.0f * t - 15.0f) * t + 10.0f) * t * t * t;
}

float Lerp(float t, float a, float b) {
    return a + t * (b - a);
}

// Lattice cell as a wrapping unsigned word: only its low 7 bits matter, and
// NaN or huge coordinates must not make the conversion undefined.
uint32_t Cell(float v, float& fraction) {
    const float f = std::floor(v);
    fraction = v - f;
    return static_cast<uint32_t>(Math::TruncateToInt32(f));
}

// Adds r.v + (1 - r)(v.n)n to sum: v where the obstacle is far, only its
// normal part near it.
void AddBent(float* sum, const float* v, const float* n, float r, float weight) {
    const float vn = Math::Vector3Dot(v, n);
    for (int i = 0; i < 3; ++i)
        sum[i] += weight * (r * v[i] + (1.0f - r) * vn * n[i]);
}

// Turns a phase into the nearest equivalent angle in -pi..pi.
float WrapTurn(float u) {
    return u - std::trunc(u / kTwoPi + std::copysign(0.5f, u)) * kTwoPi;
}

float SphereDistance(const float* p, float orbit, float height, float radius, float angle) {
    const float w = WrapTurn(angle);
    const float centre[3] = {orbit * std::sin(w), height, orbit * std::cos(w)};
    return Math::SphereDistance(p, centre, radius);
}

CurlNoise g_field(CurlNoise::kFieldSeed, CurlNoise::kFieldSpread);

} // namespace

CurlNoise& CurlNoise::Field() {
    return g_field;
}

void CurlNoise::Initialize(uint32_t seed, float spread) {
    uint32_t counter = seed;
    for (uint32_t i = 0; i < 128; ++i) {
        Math::RandomUnitVectorHashed(gradients_[i], counter);
        permutation_[i] = i;
    }
    for (uint32_t i = 1; i < 128; ++i) {
        const uint32_t j = Math::HashUint(counter + i - 1) % (i + 1);
        std::swap(permutation_[i], permutation_[j]);
    }
    counter = seed + 1024;
    for (uint32_t i = 0; i < 128; ++i) {
        for (int k = 0; k < 3; ++k)
            gradientCopy_[i][k] = gradients_[i][k];
        Math::RandomUnitVectorHashed(axes_[i], counter);
        const float u = Math::HashFloat01(counter);
        counter += 1;
        speeds_[i] = (1.0f - spread * 0.5f + spread * u) * kTwoPi;
    }
}

float CurlNoise::Noise3(float x, float y, float z) const {
    float fx, fy, fz;
    const uint32_t X = Cell(x, fx);
    const uint32_t Y = Cell(y, fy);
    const uint32_t Z = Cell(z, fz);
    const uint32_t* P = permutation_;
    // The improved noise's corner hashes, each step wrapped to 128 entries.
    const uint32_t A = P[X & 127u] + Y, B = P[(X + 1) & 127u] + Y;
    const uint32_t AA = P[A & 127u] + Z, AB = P[(A + 1) & 127u] + Z;
    const uint32_t BA = P[B & 127u] + Z, BB = P[(B + 1) & 127u] + Z;
    auto corner = [&](uint32_t hash, float dx, float dy, float dz) {
        const float* g = gradients_[P[hash & 127u]];
        return g[0] * dx + g[1] * dy + g[2] * dz;
    };
    const float u = Fade(fx), v = Fade(fy), w = Fade(fz);
    return Lerp(
        w,
        Lerp(v, Lerp(u, corner(AA, fx, fy, fz), corner(BA, fx - 1, fy, fz)),
             Lerp(u, corner(AB, fx, fy - 1, fz), corner(BB, fx - 1, fy - 1, fz))),
        Lerp(v, Lerp(u, corner(AA + 1, fx, fy, fz - 1), corner(BA + 1, fx - 1, fy, fz - 1)),
             Lerp(u, corner(AB + 1, fx, fy - 1, fz - 1), corner(BB + 1, fx - 1, fy - 1, fz - 1))));
}

float CurlNoise::ObstacleDistance(const float* p) {
    static const float kCentre[3] = {0.0f, 1.0f, 0.0f};
    return Math::SphereDistance(p, kCentre, 1.0f);
}

void CurlNoise::ObstacleNormal(float* out, const float* p) {
    const float d = ObstacleDistance(p);
    const float px[3] = {p[0] + 0.01f, p[1], p[2]};
    const float py[3] = {p[0], p[1] + 0.01f, p[2]};
    const float pz[3] = {p[0], p[1], p[2] + 0.01f};
    const float n[3] = {ObstacleDistance(px) - d, ObstacleDistance(py) - d,
                        ObstacleDistance(pz) - d};
    Math::Vector3Normalize(out, n);
}

void CurlNoise::Evaluate(float* out, const float* p) const {
    static const float kLength[3] = {0.4f, 0.23f, 0.11f};
    static const float kWeight[3] = {1.0f, 0.5f, 0.25f};
    float psi[3] = {0.0f, 0.0f, 0.0f};
    float n[3];
    ObstacleNormal(n, p);
    const float d = std::fabs(ObstacleDistance(p));
    const float x = p[0], y = p[1], z = p[2];
    const float h = Math::SmootherStepSigned((y + 3.0f) * 0.125f);
    for (int octave = 0; octave < 3; ++octave) {
        const float length = kLength[octave];
        const float r = Math::SmootherStepSigned(d / length);
        const float qx = x / length, qy = y / length, qz = z / length;
        const float N[3] = {Noise3(qx, qy, qz), Noise3(qy + 31.416f, qz - 47.853f, qx + 12.793f),
                            Noise3(qz - 233.145f, qx - 113.408f, qy - 185.31f)};
        AddBent(psi, N, n, r, kWeight[octave] * h);
    }
    const float r2 = Math::SmootherStepSigned(d / 2.25f);
    const float rho = std::sqrt(x * x + z * z);
    for (float c = 3.0f; c > -3.0f; c -= 4.0f) {
        const float k = 10.0f / ((y - c) * (y - c) + (rho + 2.25f) * (rho + 2.25f) +
                                 (rho - 2.25f) * (rho - 2.25f) + 0.7f);
        const float v[3] = {z * k, 0.0f, -x * k};
        AddBent(psi, v, n, r2, 1.0f);
    }
    out[0] = psi[0];
    out[1] = psi[1];
    out[2] = psi[2];
}

void CurlNoise::Curl(float* out, const float* p, Potential potential) const {
    constexpr float e = 0.0001f;
    // Twelve separate evaluations, one component of each, as the runtime
    // does it (the rounding of the result depends on it).
    auto at = [&](int axis, float sign, int component) {
        float q[3] = {p[0], p[1], p[2]};
        q[axis] += sign * e;
        float psi[3];
        (this->*potential)(psi, q);
        return psi[component];
    };
    const float x = (at(1, 1, 2) - at(1, -1, 2) - at(2, 1, 1) + at(2, -1, 1)) * 5000.0f;
    const float y = (at(2, 1, 0) - at(2, -1, 0) - at(0, 1, 2) + at(0, -1, 2)) * 5000.0f;
    const float z = (at(0, 1, 1) - at(0, -1, 1) - at(1, 1, 0) + at(1, -1, 0)) * 5000.0f;
    out[0] = x;
    out[1] = y;
    out[2] = z;
}

void CurlNoise::EvaluateCurl(float* out, const float* p) const {
    Curl(out, p, &CurlNoise::Evaluate);
}

void CurlNoise::SetPhase(float angle) {
    if (angle > kPi)
        angle -= kTwoPi;
    phases_[0] = phases_[1] = phases_[2] = angle;
}

float CurlNoise::AnimatedDistance(const float* p) const {
    const float a = SphereDistance(p, 0.3f, 0.0f, 0.3f, phases_[0]);
    const float b = SphereDistance(p, 0.2f, -0.5f, 0.2f, 0.5f * phases_[1]);
    const float c = SphereDistance(p, 0.4f, 0.6f, 0.3f, 0.4f * phases_[2]);
    return Math::SmoothMin(Math::SmoothMin(a, b, 0.1f), c, 0.1f);
}

void CurlNoise::AnimatedGradient(float* out, const float* p) const {
    const float d = AnimatedDistance(p);
    const float px[3] = {p[0] + 0.01f, p[1], p[2]};
    const float py[3] = {p[0], p[1] + 0.01f, p[2]};
    const float pz[3] = {p[0], p[1], p[2] + 0.01f};
    const float g[3] = {AnimatedDistance(px) - d, AnimatedDistance(py) - d,
                        AnimatedDistance(pz) - d};
    Math::Vector3Normalize(out, g);
}

void CurlNoise::AnimatedPotential(float* out, const float* p) const {
    const float d = AnimatedDistance(p);
    float n[3];
    AnimatedGradient(n, p);
    const float r = Math::SmootherStepSigned(std::fabs(d));
    const float v[3] = {3.0f * p[2], 0.0f, -3.0f * p[0]};
    float psi[3] = {0.0f, 0.0f, 0.0f};
    AddBent(psi, v, n, r, 1.0f);
    Math::Vector3MulScalar(out, psi, 0.04f);
}

void CurlNoise::AnimatedCurl(float* out, const float* p) const {
    Curl(out, p, &CurlNoise::AnimatedPotential);
}

} // namespace FulgorCore
