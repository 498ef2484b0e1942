#include "effects/Core/Transform/EulerRotation.h"

#include "effects/Core/Math/Matrix.h"

#include <cmath>

namespace FulgorCore {

namespace {

enum Axis { kX, kY, kZ };

// m = the rotation about the axis (rows of the axis rotations above).
void SetAxis(float* m, Axis axis, float c, float s) {
    static const float kIdentity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    for (int i = 0; i < 9; ++i)
        m[i] = kIdentity[i];
    switch (axis) {
    case kX:
        m[4] = c, m[5] = s, m[7] = -s, m[8] = c;
        break;
    case kY:
        m[0] = c, m[2] = -s, m[6] = s, m[8] = c;
        break;
    case kZ:
        m[0] = c, m[1] = s, m[3] = -s, m[4] = c;
        break;
    }
}

// m = m . R(axis): an axis rotation on the right mixes two columns only.
void ApplyAxis(float* m, Axis axis, float c, float s) {
    // Columns (i, j) with R's rows i = (c, s) and j = (-s, c) on them.
    const int i = axis == kX ? 1 : (axis == kY ? 2 : 0);
    const int j = axis == kX ? 2 : (axis == kY ? 0 : 1);
    for (int row = 0; row < 3; ++row) {
        const float a = m[row * 3 + i], b = m[row * 3 + j];
        m[row * 3 + i] = a * c - b * s;
        m[row * 3 + j] = a * s + b * c;
    }
}

template <Axis First, Axis Second, Axis Third> void Build(float* out, float x, float y, float z) {
    const float angles[3] = {x, y, z};
    SetAxis(out, First, std::cos(angles[First]), std::sin(angles[First]));
    ApplyAxis(out, Second, std::cos(angles[Second]), std::sin(angles[Second]));
    ApplyAxis(out, Third, std::cos(angles[Third]), std::sin(angles[Third]));
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
