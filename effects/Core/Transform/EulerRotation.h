#pragma once

#include <cstdint>

namespace FulgorCore {

// Rotation from three Euler angles in a data-chosen axis order, as a 3x4
// with a zero translation. Axis rotations (c = cos a, s = sin a):
//   Rx rows (1, 0, 0) (0, c, s) (0, -s, c)
//   Ry rows (c, 0, -s) (0, 1, 0) (s, 0, c)
//   Rz rows (c, s, 0) (-s, c, 0) (0, 0, 1)
// Order index: 0 Rx.Ry.Rz, 1 Rx.Rz.Ry, 2 Ry.Rz.Rx, 3 Ry.Rx.Rz, 4 Rz.Rx.Ry,
// 5 Rz.Ry.Rx (the first letter applied first).
using EulerBuilder = void (*)(float* out, float x, float y, float z);

extern const EulerBuilder kMakeRotationByOrder[6];

// Order indices above 5 in data fall back to order 0.
inline EulerBuilder MakeRotationByOrder(uint32_t order) {
    return kMakeRotationByOrder[order < 6 ? order : 0];
}

// The composition of a unit's scale S, rotation R and translation T:
// 0 S.R, 1 S.T.R, 2 R.T.S, 3 R.S, 4 T.S.R, 5 T.R.S. Orders 0 and 3 multiply
// only the 3x3 parts and take T's translation row as it is.
using Composer = void (*)(float* out, const float* s, const float* r, const float* t);

extern const Composer kComposeByOrder[6];

inline Composer ComposeByOrder(uint32_t order) {
    return kComposeByOrder[order < 6 ? order : 0];
}

} // namespace FulgorCore
