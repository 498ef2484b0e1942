#pragma once

#include "effects/Core/Math/FastRoot.h"

namespace FulgorCore::Math {

// Three contiguous floats; every result goes through the output pointer,
// which may alias an input.

inline void Vector3Add(float* out, const float* a, const float* b) {
    out[0] = a[0] + b[0];
    out[1] = a[1] + b[1];
    out[2] = a[2] + b[2];
}
inline void Vector3Sub(float* out, const float* a, const float* b) {
    out[0] = a[0] - b[0];
    out[1] = a[1] - b[1];
    out[2] = a[2] - b[2];
}
inline void Vector3Mul(float* out, const float* a, const float* b) {
    out[0] = a[0] * b[0];
    out[1] = a[1] * b[1];
    out[2] = a[2] * b[2];
}
inline void Vector3Div(float* out, const float* a, const float* b) {
    out[0] = a[0] / b[0];
    out[1] = a[1] / b[1];
    out[2] = a[2] / b[2];
}

// Vector and scalar: a + s, a - s, a * s per component.
inline void Vector3AddScalar(float* out, const float* a, float s) {
    out[0] = a[0] + s;
    out[1] = a[1] + s;
    out[2] = a[2] + s;
}
inline void Vector3SubScalar(float* out, const float* a, float s) {
    out[0] = a[0] - s;
    out[1] = a[1] - s;
    out[2] = a[2] - s;
}
inline void Vector3MulScalar(float* out, const float* a, float s) {
    out[0] = a[0] * s;
    out[1] = a[1] * s;
    out[2] = a[2] * s;
}
// One division and three products, as the runtime does it.
inline void Vector3DivScalar(float* out, const float* a, float s) {
    const float r = 1.0f / s;
    out[0] = a[0] * r;
    out[1] = a[1] * r;
    out[2] = a[2] * r;
}

// Scalar first: s + a, s - a, s * a, s / a per component.
inline void Vector3AddScalar(float* out, float s, const float* a) {
    out[0] = s + a[0];
    out[1] = s + a[1];
    out[2] = s + a[2];
}
inline void Vector3SubScalar(float* out, float s, const float* a) {
    out[0] = s - a[0];
    out[1] = s - a[1];
    out[2] = s - a[2];
}
inline void Vector3MulScalar(float* out, float s, const float* a) {
    out[0] = s * a[0];
    out[1] = s * a[1];
    out[2] = s * a[2];
}
inline void Vector3DivScalar(float* out, float s, const float* a) {
    out[0] = s / a[0];
    out[1] = s / a[1];
    out[2] = s / a[2];
}

inline void Vector3Zero(float* out) {
    out[0] = 0.0f;
    out[1] = 0.0f;
    out[2] = 0.0f;
}

inline float Vector3Dot(const float* a, const float* b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

inline void Vector3Cross(float* out, const float* a, const float* b) {
    const float x = a[1] * b[2] - a[2] * b[1];
    const float y = a[2] * b[0] - a[0] * b[2];
    const float z = a[0] * b[1] - a[1] * b[0];
    out[0] = x;
    out[1] = y;
    out[2] = z;
}

// v times the fast reciprocal root of v.v; a zero vector is not guarded.
inline void Vector3Normalize(float* out, const float* v) {
    Vector3MulScalar(out, v, ReciprocalSqrt(Vector3Dot(v, v)));
}

inline void Vector3Nlerp(float* out, const float* a, const float* b, float t) {
    float r[3];
    r[0] = a[0] + (b[0] - a[0]) * t;
    r[1] = a[1] + (b[1] - a[1]) * t;
    r[2] = a[2] + (b[2] - a[2]) * t;
    Vector3Normalize(out, r);
}

// Pulls v towards its projection on the axis: c = 1 keeps v, c = 0 leaves
// only the component along the axis.
inline void Vector3BlendToAxis(float* out, const float* v, float c, const float* axis) {
    const float t = Vector3Dot(v, axis) * (1.0f - c);
    float r[3];
    r[0] = v[0] * c + axis[0] * t;
    r[1] = v[1] * c + axis[1] * t;
    r[2] = v[2] * c + axis[2] * t;
    out[0] = r[0];
    out[1] = r[1];
    out[2] = r[2];
}

// Process-wide constants: the translation of every rotation builder is this
// zero vector.
inline constexpr float kZeroVector3[3] = {0.0f, 0.0f, 0.0f};
inline constexpr float kIdentity33[9] = {1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f};

} // namespace FulgorCore::Math
