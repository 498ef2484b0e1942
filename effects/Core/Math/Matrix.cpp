#include "effects/Core/Math/Matrix.h"

#include <cmath>

namespace FulgorCore::Math {

void Matrix33Multiply(float* out, const float* a, const float* b) {
    float r[9];
    for (int row = 0; row < 3; ++row) {
        const float* ar = a + row * 3;
        r[row * 3 + 0] = ar[0] * b[0] + ar[1] * b[3] + ar[2] * b[6];
        r[row * 3 + 1] = ar[0] * b[1] + ar[1] * b[4] + ar[2] * b[7];
        r[row * 3 + 2] = ar[0] * b[2] + ar[1] * b[5] + ar[2] * b[8];
    }
    for (int i = 0; i < 9; ++i)
        out[i] = r[i];
}

void Matrix34Multiply(float* out, const float* a, const float* b) {
    float r[12];
    for (int row = 0; row < 4; ++row) {
        const float* ar = a + row * 3;
        r[row * 3 + 0] = ar[0] * b[0] + ar[1] * b[3] + ar[2] * b[6];
        r[row * 3 + 1] = ar[0] * b[1] + ar[1] * b[4] + ar[2] * b[7];
        r[row * 3 + 2] = ar[0] * b[2] + ar[1] * b[5] + ar[2] * b[8];
    }
    // The translation row is a point: it picks up b's translation.
    r[9] += b[9];
    r[10] += b[10];
    r[11] += b[11];
    for (int i = 0; i < 12; ++i)
        out[i] = r[i];
}

void Matrix44Multiply(float* out, const float* a, const float* b) {
    float r[16];
    for (int row = 0; row < 4; ++row) {
        const float* ar = a + row * 4;
        for (int col = 0; col < 4; ++col)
            r[row * 4 + col] =
                ar[0] * b[col] + ar[1] * b[4 + col] + ar[2] * b[8 + col] + ar[3] * b[12 + col];
    }
    for (int i = 0; i < 16; ++i)
        out[i] = r[i];
}

void Matrix34Identity(float* out) {
    for (int i = 0; i < 12; ++i)
        out[i] = 0.0f;
    out[0] = out[4] = out[8] = 1.0f;
}

static bool IsSingular(float det) {
    return det >= -kSingularDeterminant && det <= kSingularDeterminant;
}

bool Matrix34Inverse(float* out, const float* m) {
    // Cofactors of the 3x3 part; the determinant is taken along row 0.
    const float c00 = m[4] * m[8] - m[5] * m[7];
    const float c01 = m[5] * m[6] - m[3] * m[8];
    const float c02 = m[3] * m[7] - m[4] * m[6];
    const float det = m[0] * c00 + m[1] * c01 + m[2] * c02;
    const float tx = m[9], ty = m[10], tz = m[11];
    if (IsSingular(det)) {
        Matrix34Identity(out);
        out[9] = -tx;
        out[10] = -ty;
        out[11] = -tz;
        return false;
    }
    const float k = 1.0f / det;
    float r[9];
    r[0] = c00 * k;
    r[1] = (m[2] * m[7] - m[1] * m[8]) * k;
    r[2] = (m[1] * m[5] - m[2] * m[4]) * k;
    r[3] = c01 * k;
    r[4] = (m[0] * m[8] - m[2] * m[6]) * k;
    r[5] = (m[2] * m[3] - m[0] * m[5]) * k;
    r[6] = c02 * k;
    r[7] = (m[1] * m[6] - m[0] * m[7]) * k;
    r[8] = (m[0] * m[4] - m[1] * m[3]) * k;
    for (int i = 0; i < 9; ++i)
        out[i] = r[i];
    out[9] = -(tx * r[0] + ty * r[3] + tz * r[6]);
    out[10] = -(tx * r[1] + ty * r[4] + tz * r[7]);
    out[11] = -(tx * r[2] + ty * r[5] + tz * r[8]);
    return true;
}

bool Matrix44Inverse(float* out, const float* a) {
    // 2x2 minors of rows 0-1 (s) and rows 2-3 (c).
    const float s0 = a[0] * a[5] - a[4] * a[1];
    const float s1 = a[0] * a[6] - a[4] * a[2];
    const float s2 = a[0] * a[7] - a[4] * a[3];
    const float s3 = a[1] * a[6] - a[5] * a[2];
    const float s4 = a[1] * a[7] - a[5] * a[3];
    const float s5 = a[2] * a[7] - a[6] * a[3];
    const float c5 = a[10] * a[15] - a[14] * a[11];
    const float c4 = a[9] * a[15] - a[13] * a[11];
    const float c3 = a[9] * a[14] - a[13] * a[10];
    const float c2 = a[8] * a[15] - a[12] * a[11];
    const float c1 = a[8] * a[14] - a[12] * a[10];
    const float c0 = a[8] * a[13] - a[12] * a[9];

    float r[16];
    r[0] = a[5] * c5 - a[6] * c4 + a[7] * c3;
    r[1] = -a[1] * c5 + a[2] * c4 - a[3] * c3;
    r[2] = a[13] * s5 - a[14] * s4 + a[15] * s3;
    r[3] = -a[9] * s5 + a[10] * s4 - a[11] * s3;
    r[4] = -a[4] * c5 + a[6] * c2 - a[7] * c1;
    r[5] = a[0] * c5 - a[2] * c2 + a[3] * c1;
    r[6] = -a[12] * s5 + a[14] * s2 - a[15] * s1;
    r[7] = a[8] * s5 - a[10] * s2 + a[11] * s1;
    r[8] = a[4] * c4 - a[5] * c2 + a[7] * c0;
    r[9] = -a[0] * c4 + a[1] * c2 - a[3] * c0;
    r[10] = a[12] * s4 - a[13] * s2 + a[15] * s0;
    r[11] = -a[8] * s4 + a[9] * s2 - a[11] * s0;
    r[12] = -a[4] * c3 + a[5] * c1 - a[6] * c0;
    r[13] = a[0] * c3 - a[1] * c1 + a[2] * c0;
    r[14] = -a[12] * s3 + a[13] * s1 - a[14] * s0;
    r[15] = a[8] * s3 - a[9] * s1 + a[10] * s0;

    // Row 0 against the cofactors of row 0 (column 0 of the adjugate).
    const float det = a[0] * r[0] + a[1] * r[4] + a[2] * r[8] + a[3] * r[12];
    if (IsSingular(det)) {
        const float tx = a[12], ty = a[13], tz = a[14];
        for (int i = 0; i < 16; ++i)
            out[i] = (i % 5 == 0) ? 1.0f : 0.0f;
        out[12] = -tx;
        out[13] = -ty;
        out[14] = -tz;
        return false;
    }
    const float k = 1.0f / det;
    for (int i = 0; i < 16; ++i)
        out[i] = r[i] * k;
    return true;
}

void TransformPoint34(float* out, const float* p, const float* m) {
    const float x = p[0] * m[0] + p[1] * m[3] + p[2] * m[6] + m[9];
    const float y = p[0] * m[1] + p[1] * m[4] + p[2] * m[7] + m[10];
    const float z = p[0] * m[2] + p[1] * m[5] + p[2] * m[8] + m[11];
    out[0] = x;
    out[1] = y;
    out[2] = z;
}

void TransformDirection34(float* out, const float* d, const float* m) {
    const float x = d[0] * m[0] + d[1] * m[3] + d[2] * m[6];
    const float y = d[0] * m[1] + d[1] * m[4] + d[2] * m[7];
    const float z = d[0] * m[2] + d[1] * m[5] + d[2] * m[8];
    out[0] = x;
    out[1] = y;
    out[2] = z;
}

void TransformPointProjected44(float* out, float x, float y, float z, const float* m) {
    float r[4];
    for (int col = 0; col < 4; ++col)
        r[col] = x * m[col] + y * m[4 + col] + z * m[8 + col] + m[12 + col];
    const float k = 1.0f / r[3];
    out[0] = r[0] * k;
    out[1] = r[1] * k;
    out[2] = r[2] * k;
    out[3] = 1.0f;
}

void RotationFromAngles(float* out, float a, float b, float c) {
    const float ca = std::cos(a * 0.5f), sa = std::sin(a * 0.5f);
    const float cb = std::cos(b * 0.5f), sb = std::sin(b * 0.5f);
    const float cc = std::cos(c * 0.5f), sc = std::sin(c * 0.5f);
    const float w = ca * cb * cc + sa * sb * sc;
    const float x = ca * sb * sc - sa * cb * cc;
    const float y = sa * cb * sc + ca * sb * cc;
    const float z = sa * sb * cc - ca * cb * sc;
    out[0] = 1.0f - 2.0f * (y * y + z * z);
    out[1] = 2.0f * (x * y - w * z);
    out[2] = 2.0f * (x * z + w * y);
    out[3] = 2.0f * (x * y + w * z);
    out[4] = 1.0f - 2.0f * (x * x + z * z);
    out[5] = 2.0f * (y * z - w * x);
    out[6] = 2.0f * (x * z - w * y);
    out[7] = 2.0f * (y * z + w * x);
    out[8] = 1.0f - 2.0f * (x * x + y * y);
    out[9] = out[10] = out[11] = 0.0f;
}

} // namespace FulgorCore::Math
