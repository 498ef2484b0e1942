#include "effects/Core/Transform/TexCoordTransform.h"

#include <cmath>

namespace FulgorCore {

namespace {

constexpr float kCentre = 0.5f;

struct Linear {
    float au, bu, av, bv;
};

void Write(float* m, const Linear& l, float tu, float tv) {
    m[0] = l.au;
    m[1] = l.bu;
    m[2] = 0.0f;
    m[3] = tu;
    m[4] = l.av;
    m[5] = l.bv;
    m[6] = 0.0f;
    m[7] = tv;
}

// R.S: scale first, then rotate.
Linear RotateScaled(const float* p) {
    const float c = std::cos(p[kTexCoordAngle]), s = std::sin(p[kTexCoordAngle]);
    const float su = p[kTexCoordScaleU], sv = p[kTexCoordScaleV];
    return {c * su, -s * sv, s * su, c * sv};
}

// S.R: rotate first, then scale.
Linear ScaleRotated(const float* p) {
    const float c = std::cos(p[kTexCoordAngle]), s = std::sin(p[kTexCoordAngle]);
    const float su = p[kTexCoordScaleU], sv = p[kTexCoordScaleV];
    return {su * c, -su * s, sv * s, sv * c};
}

Linear ScaleOnly(const float* p) {
    return {p[kTexCoordScaleU], 0.0f, 0.0f, p[kTexCoordScaleV]};
}

// Offset after: M.(u, v) + o.
void OffsetAfter(float* m, const Linear& l, const float* p) {
    Write(m, l, p[kTexCoordOffsetU], p[kTexCoordOffsetV]);
}
// Offset after, about the centre: M.((u, v) - c) + c + o.
void CentredOffsetAfter(float* m, const Linear& l, const float* p) {
    Write(m, l, kCentre - (l.au + l.bu) * kCentre + p[kTexCoordOffsetU],
          kCentre - (l.av + l.bv) * kCentre + p[kTexCoordOffsetV]);
}
// Offset before: M.((u, v) + o).
void OffsetBefore(float* m, const Linear& l, const float* p) {
    const float ou = p[kTexCoordOffsetU], ov = p[kTexCoordOffsetV];
    Write(m, l, l.au * ou + l.bu * ov, l.av * ou + l.bv * ov);
}
// Offset before, about the centre: M.((u, v) + o - c) + c.
void CentredOffsetBefore(float* m, const Linear& l, const float* p) {
    const float du = p[kTexCoordOffsetU] - kCentre, dv = p[kTexCoordOffsetV] - kCentre;
    Write(m, l, l.au * du + l.bu * dv + kCentre, l.av * du + l.bv * dv + kCentre);
}

void Mode0Plain(float* m, const float* p) {
    OffsetAfter(m, ScaleOnly(p), p);
}
void Mode0Rotated(float* m, const float* p) {
    OffsetAfter(m, RotateScaled(p), p);
}
void Mode1Plain(float* m, const float* p) {
    CentredOffsetAfter(m, ScaleOnly(p), p);
}
void Mode1Rotated(float* m, const float* p) {
    CentredOffsetAfter(m, RotateScaled(p), p);
}
void Mode2Plain(float* m, const float* p) {
    OffsetBefore(m, ScaleOnly(p), p);
}
void Mode2Rotated(float* m, const float* p) {
    OffsetBefore(m, ScaleRotated(p), p);
}
void Mode3Plain(float* m, const float* p) {
    CentredOffsetBefore(m, ScaleOnly(p), p);
}
void Mode3Rotated(float* m, const float* p) {
    CentredOffsetBefore(m, ScaleRotated(p), p);
}

bool RotationFree(const float* p) {
    // True for -0.0 as well.
    return p[kTexCoordAngle] == 0.0f;
}

template <TexCoordTransform::Builder Plain, TexCoordTransform::Builder Rotated>
void Choose(float* m, const float* p) {
    if (RotationFree(p))
        Plain(m, p);
    else
        Rotated(m, p);
}

} // namespace

const TexCoordTransform::Builder TexCoordTransform::kModes[4] = {
    Choose<Mode0Plain, Mode0Rotated>, Choose<Mode1Plain, Mode1Rotated>,
    Choose<Mode2Plain, Mode2Rotated>, Choose<Mode3Plain, Mode3Rotated>};

const TexCoordTransform::Builder TexCoordTransform::kOriginModes[2] = {
    Choose<Mode0Plain, Mode0Rotated>, Choose<Mode2Plain, Mode2Rotated>};

} // namespace FulgorCore
