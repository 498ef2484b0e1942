#pragma once

#include <cstdint>

namespace FulgorCore {

// Layer parameters of one texture layer, evaluated by the caller: a leading
// value these transforms do not read, scale u, scale v, offset u, offset v,
// rotation angle (radians).
enum TexCoordParameter : uint32_t {
    kTexCoordScaleU = 1,
    kTexCoordScaleV = 2,
    kTexCoordOffsetU = 3,
    kTexCoordOffsetV = 4,
    kTexCoordAngle = 5,
};

// The 2x4 texture-coordinate matrix of a layer, rows (a, b, 0, t) for u and
// v. Mode = pivot bit + 2 * order bit:
//   0  R.S.(u, v) + o              1  R.S.((u, v) - c) + c + o
//   2  S.R.((u, v) + o)            3  S.R.((u, v) + o - c) + c
// with c = (0.5, 0.5). An angle of exactly zero (either sign) takes a
// rotation-free builder that evaluates no sine or cosine.
class TexCoordTransform {
public:
    using Builder = void (*)(float* matrix, const float* parameters);

    // Indexed by mode (0-3).
    static const Builder kModes[4];
    // Callers with one flag bit: modes 0 and 2 (origin pivot).
    static const Builder kOriginModes[2];

    static void Build(uint32_t mode, float* matrix, const float* parameters) {
        kModes[mode & 3u](matrix, parameters);
    }
};

} // namespace FulgorCore
