#include "effects/Core/Transform/EulerRotation.h"

#include "effects/Core/Math/Matrix.h"

#include <cmath>

namespace FulgorCore {

namespace {

enum Axis { kX, kY, kZ };

void AxisRotation(float* m, Axis axis, float a) {
    const float c = std::cos(a), s = std::sin(a);
    switch (axis) {
    case kX: {
        const float r[9] = {1, 0, 0, 0, c, s, 0, -s, c};
        for (int i = 0; i < 9; ++i)
            m[i] = r[i];
        break;
    }
    case kY: {
        const float r[9] = {c, 0, -s, 0, 1, 0, s, 0, c};
        for (int i = 0; i < 9; ++i)
            m[i] = r[i];
        break;
    }
    case kZ: {
        const float r[9] = {c, s, 0, -s, c, 0, 0, 0, 1};
        for (int i = 0; i < 9; ++i)
            m[i] = r[i];
        break;
    }
    }
}

template <Axis First, Axis Second, Axis Third> void Build(float* out, float x, float y, float z) {
    const float angles[3] = {x, y, z};
    float a[9], b[9], c[9];
    AxisRotation(a, First, angles[First]);
    AxisRotation(b, Second, angles[Second]);
    AxisRotation(c, Third, angles[Third]);
    Math::Matrix33Multiply(a, a, b);
    Math::Matrix33Multiply(out, a, c);
    out[9] = out[10] = out[11] = 0.0f;
}

void RotationThenTranslation(float* out, const float* first, const float* second, const float* t) {
    Math::Matrix33Multiply(out, first, second);
    out[9] = t[9];
    out[10] = t[10];
    out[11] = t[11];
}

void ScaleRotation(float* out, const float* s, const float* r, const float* t) {
    RotationThenTranslation(out, s, r, t);
}
void RotationScale(float* out, const float* s, const float* r, const float* t) {
    RotationThenTranslation(out, r, s, t);
}

template <int A, int B, int C>
void Full(float* out, const float* s, const float* r, const float* t) {
    const float* m[3] = {s, r, t};
    float ab[12];
    Math::Matrix34Multiply(ab, m[A], m[B]);
    Math::Matrix34Multiply(out, ab, m[C]);
}

constexpr int S = 0, R = 1, T = 2;

} // namespace

const EulerBuilder kMakeRotationByOrder[6] = {Build<kX, kY, kZ>, Build<kX, kZ, kY>,
                                              Build<kY, kZ, kX>, Build<kY, kX, kZ>,
                                              Build<kZ, kX, kY>, Build<kZ, kY, kX>};

const Composer kComposeByOrder[6] = {ScaleRotation, Full<S, T, R>, Full<R, T, S>,
                                     RotationScale, Full<T, S, R>, Full<T, R, S>};

} // namespace FulgorCore
