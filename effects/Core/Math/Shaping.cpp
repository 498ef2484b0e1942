#include "effects/Core/Math/Shaping.h"

#include "effects/Core/Math/Vector3.h"

namespace FulgorCore::Math {

static float ApproxDistance(const float* a, const float* b) {
    float d[3];
    Vector3Sub(d, a, b);
    return ApproxSqrt(Vector3Dot(d, d));
}

float DistanceFadeWindow(const float* window, const float* a, const float* b) {
    const float d = ApproxDistance(a, b);
    if (d <= window[0])
        return 0.0f;
    if (d <= window[1])
        return (d - window[0]) / (window[1] - window[0]);
    if (d <= window[2])
        return 1.0f;
    if (d <= window[3])
        return 1.0f - (d - window[2]) / (window[3] - window[2]);
    return 0.0f;
}

float SphereDistance(const float* p, const float* centre, float radius) {
    return ApproxDistance(p, centre) - radius;
}

float SmoothMin(float a, float b, float k) {
    float h = 0.5f + 0.5f * (b - a) / k;
    h = h < 0.0f ? 0.0f : (h > 1.0f ? 1.0f : h);
    return b + (a - b) * h - k * h * (1.0f - h);
}

float SmootherStep(float t) {
    if (t < 0.0f)
        return 0.0f;
    if (t > 1.0f)
        return 1.0f;
    return ((6.0f * t - 15.0f) * t + 10.0f) * t * t * t;
}

float SmootherStepSigned(float x) {
    return 2.0f * SmootherStep((x + 1.0f) * 0.5f) - 1.0f;
}

bool GreaterFirst(const float* a, const float* b) {
    return a[0] > b[0];
}

} // namespace FulgorCore::Math
