#pragma once

#include <cstdint>

namespace FulgorCore {

// The divergence-free motion field of curl-noise particles: a vector
// potential built from three octaves of a 128-gradient noise, bent around a
// spherical obstacle and stirred by two vortex rings, and its curl.
class CurlNoise {
public:
    static constexpr uint32_t kFieldSeed = 171717u;
    static constexpr float kFieldSpread = 0.2f;

    CurlNoise(uint32_t seed, float spread) { Initialize(seed, spread); }

    void Initialize(uint32_t seed, float spread);

    // Gradient noise over the 128 hashed gradients; 0 at lattice points.
    float Noise3(float x, float y, float z) const;
    // Signed distance to the obstacle (radius 1 around (0, 1, 0)) and its
    // normal by forward differences.
    static float ObstacleDistance(const float* p);
    static void ObstacleNormal(float* out, const float* p);
    // The vector potential at p, and its curl by central differences.
    void Evaluate(float* out, const float* p) const;
    void EvaluateCurl(float* out, const float* p) const;

    // A second, animated potential of three orbiting spheres. The runtime
    // carries it without calling it.
    void SetPhase(float angle);
    float AnimatedDistance(const float* p) const;
    void AnimatedGradient(float* out, const float* p) const;
    void AnimatedPotential(float* out, const float* p) const;
    void AnimatedCurl(float* out, const float* p) const;

    const float* Gradient(uint32_t i) const { return gradients_[i & 127u]; }
    uint32_t Permutation(uint32_t i) const { return permutation_[i & 127u]; }
    float Speed(uint32_t i) const { return speeds_[i & 127u]; }
    const float* Axis(uint32_t i) const { return axes_[i & 127u]; }

    // The process-wide field, built before the program's main.
    static CurlNoise& Field();

private:
    using Potential = void (CurlNoise::*)(float*, const float*) const;
    void Curl(float* out, const float* p, Potential potential) const;

    float gradients_[128][3];
    uint32_t permutation_[128];
    float gradientCopy_[128][3];
    float speeds_[128];
    float axes_[128][3];
    float phases_[3] = {0.0f, 0.0f, 0.0f};
};

} // namespace FulgorCore
