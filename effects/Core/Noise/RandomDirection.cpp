#include "effects/Core/Noise/RandomDirection.h"

#include "effects/Core/Noise/Xorshift128.h"

#include <cmath>

namespace FulgorCore::Math {

namespace {

constexpr float kTwoPi = 6.2831855f;

// The cosine within the band, the sine of its angle, and the turn around
// the axis.
struct ConeSample {
    float c, s, sinPhi, cosPhi;
};

ConeSample SampleCone(float a, float b, Xorshift128& random) {
    const float cosA = std::cos(a);
    const float c = cosA - (cosA - std::cos(b)) * random.NextFloat01();
    const float s = std::sin(std::acos(c));
    const float phi = kTwoPi * random.NextFloat01();
    return {c, s, std::sin(phi), std::cos(phi)};
}

} // namespace

void RandomDirectionSphere(float* out, Xorshift128& random) {
    const float c = 1.0f - 2.0f * random.NextFloat01();
    const float sinTheta = std::sin(std::acos(c));
    const float phi = kTwoPi * random.NextFloat01();
    out[0] = sinTheta * std::sin(phi);
    out[1] = c;
    out[2] = sinTheta * std::cos(phi);
}

void RandomDirectionInConeX(float* out, float a, float b, Xorshift128& random) {
    const ConeSample k = SampleCone(a, b, random);
    out[0] = k.c;
    out[1] = k.sinPhi * k.s;
    out[2] = k.cosPhi * k.s;
}

void RandomDirectionInConeY(float* out, float a, float b, Xorshift128& random) {
    const ConeSample k = SampleCone(a, b, random);
    out[0] = k.sinPhi * k.s;
    out[1] = k.c;
    out[2] = k.cosPhi * k.s;
}

void RandomDirectionInConeZ(float* out, float a, float b, Xorshift128& random) {
    const ConeSample k = SampleCone(a, b, random);
    out[0] = k.cosPhi * k.s;
    out[1] = k.sinPhi * k.s;
    out[2] = k.c;
}

} // namespace FulgorCore::Math
