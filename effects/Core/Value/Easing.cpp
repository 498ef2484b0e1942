#include "effects/Core/Value/Easing.h"

#include "effects/Core/Math/FastRoot.h"

#include <cmath>

namespace FulgorCore::Easing {

namespace {

// The effect data was authored against these single-precision constants.
constexpr float kHalfPi = 1.5707964f;
constexpr float kPi = 3.1415927f;

float Power(float x, int n) {
    float r = x;
    for (int i = 1; i < n; ++i)
        r *= x;
    return r;
}

template <int N> float PowerIn(float t, float b, float c) {
    return c * Power(t, N) + b;
}

template <int N> float PowerOut(float t, float b, float c) {
    return c * (1.0f - Power(1.0f - t, N)) + b;
}

template <int N> float PowerInOut(float t, float b, float c) {
    const float h = c * 0.5f;
    if (t <= 0.5f)
        return h * Power(2.0f * t, N) + b;
    return h * (1.0f - Power(1.0f - 2.0f * (t - 0.5f), N)) + h + b;
}

const Function kTable[kCount] = {
    Linear,   QuadIn,     QuadOut,   QuadInOut, CubicIn,    CubicOut,  CubicInOut, QuartIn,
    QuartOut, QuartInOut, QuintIn,   QuintOut,  QuintInOut, SineIn,    SineOut,    SineInOut,
    ExpoIn,   ExpoOut,    ExpoInOut, CircIn,    CircOut,    CircInOut, SineWave,
};

} // namespace

float Linear(float t, float b, float c) {
    return c * t + b;
}
float QuadIn(float t, float b, float c) {
    return PowerIn<2>(t, b, c);
}
float QuadOut(float t, float b, float c) {
    return PowerOut<2>(t, b, c);
}
float QuadInOut(float t, float b, float c) {
    return PowerInOut<2>(t, b, c);
}
float CubicIn(float t, float b, float c) {
    return PowerIn<3>(t, b, c);
}
float CubicOut(float t, float b, float c) {
    return PowerOut<3>(t, b, c);
}
float CubicInOut(float t, float b, float c) {
    return PowerInOut<3>(t, b, c);
}
float QuartIn(float t, float b, float c) {
    return PowerIn<4>(t, b, c);
}
float QuartOut(float t, float b, float c) {
    return PowerOut<4>(t, b, c);
}
float QuartInOut(float t, float b, float c) {
    return PowerInOut<4>(t, b, c);
}
float QuintIn(float t, float b, float c) {
    return PowerIn<5>(t, b, c);
}
float QuintOut(float t, float b, float c) {
    return PowerOut<5>(t, b, c);
}
float QuintInOut(float t, float b, float c) {
    return PowerInOut<5>(t, b, c);
}

float SineIn(float t, float b, float c) {
    return b - c * std::cos(t * kHalfPi) + c;
}
float SineOut(float t, float b, float c) {
    return c * std::sin(t * kHalfPi) + b;
}
float SineInOut(float t, float b, float c) {
    const float h = c * 0.5f;
    if (t <= 0.5f)
        return b - h * std::cos(2.0f * t * kHalfPi) + h;
    return h * std::sin((t - 0.5f) * 2.0f * kHalfPi) + h + b;
}

float ExpoIn(float t, float b, float c) {
    return c * std::exp2(10.0f * (t - 1.0f)) + b;
}
float ExpoOut(float t, float b, float c) {
    return c * (1.0f - std::exp2(-10.0f * t)) + b;
}
float ExpoInOut(float t, float b, float c) {
    const float h = c * 0.5f;
    if (t <= 0.5f)
        return h * std::exp2(10.0f * (2.0f * t - 1.0f)) + b;
    return h * (1.0f - std::exp2(-10.0f * (2.0f * t - 1.0f))) + h + b;
}

float CircIn(float t, float b, float c) {
    return b - c * (Math::ApproxSqrt(1.0f - t * t) - 1.0f);
}
float CircOut(float t, float b, float c) {
    const float u = t - 1.0f;
    return c * Math::ApproxSqrt(1.0f - u * u) + b;
}
float CircInOut(float t, float b, float c) {
    const float h = c * 0.5f;
    if (t <= 0.5f) {
        const float u = 2.0f * t;
        return b - h * (Math::ApproxSqrt(1.0f - u * u) - 1.0f);
    }
    const float u = 2.0f * t - 2.0f;
    return h * Math::ApproxSqrt(1.0f - u * u) + h + b;
}

float SineWave(float t, float b, float c) {
    return c * (0.5f * std::sin(2.0f * kPi * t) + 0.5f) + b;
}

Function Select(uint32_t type) {
    return type < kCount ? kTable[type] : Linear;
}

} // namespace FulgorCore::Easing
