#pragma once

namespace FulgorCore::Math {

// Trapezoid weight of the approximate distance d between points a and b over
// window (r0, r1, r2, r3): 0 up to r0, rising to 1 at r1, 1 up to r2, falling
// to 0 at r3, 0 beyond.
float DistanceFadeWindow(const float* window, const float* a, const float* b);
// Approximate distance from p to the centre, minus the radius.
float SphereDistance(const float* p, const float* centre, float radius);
// Polynomial smooth minimum with blend width k.
float SmoothMin(float a, float b, float k);
// ((6t - 15)t + 10)t^3, clamped to 0 below 0 and 1 above 1.
float SmootherStep(float t);
// SmootherStep mapped to -1..1 over x in -1..1.
float SmootherStepSigned(float x);
// Ordering predicate: a's first float greater than b's.
bool GreaterFirst(const float* a, const float* b);

} // namespace FulgorCore::Math
