#include "effects/units/ViewFade.h"

#include "effects/Core/Math/FastRoot.h"
#include "effects/Core/Resource/AngleFade.h"
#include "effects/Core/Resource/DistanceFade.h"
#include "effects/render/Renderer.h"
#include "effects/render/RendererWorkData.h"

namespace FulgorCore::ViewFade {

namespace {

constexpr float kOrigin[3] = {0.0f, 0.0f, 0.0f};

// Scales v to unit length with the fast reciprocal root; a vector of no
// length becomes the zero vector.
void Normalize(float* v) {
    const float s = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
    if (!(s > 0.0f)) {
        v[0] = v[1] = v[2] = 0.0f;
        return;
    }
    const float r = Math::ReciprocalSqrt(s);
    v[0] *= r;
    v[1] *= r;
    v[2] *= r;
}

float Dot(const float* a, const float* b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// 1 - (s - a) / (b - a). Equal ends would divide by zero and put an
// infinite or NaN alpha into the colour: an empty ramp is a step at its
// end instead, 1 below it and 0 from it.
float Ramp(float s, float a, float b) {
    if (b == a)
        return s < a ? 1.0f : 0.0f;
    return 1.0f - (s - a) / (b - a);
}

// |cos| between the facing axis and the direction to the camera, both
// projected on the plane that leaves out component `dropped`.
float PlaneCosine(const float* camera, const float* matrix, int dropped) {
    const float* t = &matrix[9];
    const float* z = &matrix[6];
    float v[3] = {camera[0] - t[0], camera[1] - t[1], camera[2] - t[2]};
    float a[3] = {z[0], z[1], z[2]};
    v[dropped] = 0.0f;
    a[dropped] = 0.0f;
    Normalize(v);
    Normalize(a);
    const float s = Dot(a, v);
    return s < 0.0f ? -s : s;
}

} // namespace

float DistanceFactor(const float* camera, const float* matrix, const DistanceFade& record) {
    const float* t = &matrix[9];
    const float d[3] = {camera[0] - t[0], camera[1] - t[1], camera[2] - t[2]};
    const float distance = Math::ApproxSqrt(Dot(d, d));
    const float d0 = record.GetNearBegin();
    const float d1 = record.GetNearEnd();
    const float d2 = record.GetFarBegin();
    const float d3 = record.GetFarEnd();
    // An empty ramp (d1 = d0 or d3 = d2) is an empty interval: never chosen.
    if (distance <= d0)
        return 0.0f;
    if (distance <= d1)
        return (distance - d0) / (d1 - d0);
    if (distance <= d2)
        return 1.0f;
    if (distance <= d3)
        return 1.0f - (distance - d2) / (d3 - d2);
    return 0.0f;
}

float YawFactor(const float* camera, const float* matrix, const AngleFade& record) {
    return Ramp(PlaneCosine(camera, matrix, 1), record.GetXBegin(), record.GetXEnd());
}

float PitchFactor(const float* camera, const float* matrix, const AngleFade& record) {
    return Ramp(PlaneCosine(camera, matrix, 0), record.GetXBegin(), record.GetXEnd());
}

float ViewAngleFactor(const float* camera, const float* matrix, const AngleFade& record) {
    const float* t = &matrix[9];
    float v[3] = {camera[0] - t[0], camera[1] - t[1], camera[2] - t[2]};
    float a[3] = {matrix[6], matrix[7], matrix[8]};
    Normalize(v);
    Normalize(a);
    // 1 - clamp(u) is the ramp clamped to 0..1.
    const float factor = Ramp(Dot(a, v), record.GetYBegin(), record.GetYEnd());
    return factor < 0.0f ? 0.0f : (factor > 1.0f ? 1.0f : factor);
}

const float* CameraPosition() {
    const RendererWorkData* renderer = Renderer::GetWorkData();
    return renderer && renderer->cameraPosition ? renderer->cameraPosition : kOrigin;
}

} // namespace FulgorCore::ViewFade
