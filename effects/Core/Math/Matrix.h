#pragma once

namespace FulgorCore::Math {

// Row vectors throughout: p' = p.M, and A.B applies A first.
// 3x3: nine floats, rows are the images of the X, Y and Z axes.
// 3x4: twelve floats, rows X, Y, Z and the translation; the fourth column of
//      the 4x4 it stands for is (0, 0, 0, 1).
// 4x4: sixteen floats, row-major, translation in elements 12, 13, 14.
// Every output may alias an input.

void Matrix33Multiply(float* out, const float* a, const float* b);
void Matrix34Multiply(float* out, const float* a, const float* b);
void Matrix44Multiply(float* out, const float* a, const float* b);
void Matrix34Identity(float* out);
// The runtime's identity 3x4; its third row serves as the unit vector
// (0, 0, 1).
inline constexpr float kIdentity34[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};

// The smallest normal float bounds the singular window (both ends included).
inline constexpr float kSingularDeterminant = 1.1754944e-38f;

// A singular input gives the identity rotation with the negated input
// translation, and false.
bool Matrix34Inverse(float* out, const float* m);
bool Matrix44Inverse(float* out, const float* m);

void TransformPoint34(float* out, const float* p, const float* m);
void TransformDirection34(float* out, const float* d, const float* m);
// (x, y, z, 1).M divided by the resulting w; out receives four floats.
void TransformPointProjected44(float* out, float x, float y, float z, const float* m);

// The rotation of the quaternion formed from three half angles, written as a
// 3x4 with a zero translation (used by the package build of the effect data).
void RotationFromAngles(float* out, float a, float b, float c);

} // namespace FulgorCore::Math
