#pragma once

namespace FulgorCore::Math {

// Camera-to-world frame looking from eye at target: X = right, Y = up,
// Z = forward (a left-handed basis), translation = eye. Fails, leaving out
// untouched, when the view direction is within |cos| 0.99 of up.
bool Matrix34LookAt(float* out, const float* eye, const float* target, const float* up);

// viewOut = viewIn.F and projOut = F.projIn with F = diag(1, 1, -1, 1).
void ConvertHandedness(float* viewOut, const float* viewIn, float* projOut, const float* projIn);

// Six planes (nx, ny, nz, d), normals pointing into the volume, in the order
// near, right, left, top, bottom, far: a point p is inside when n.p >= d for
// all six. Clip space is x, y in -1..1 and depth in 0..1.
void BuildFrustumPlanes(float* planes, const float* viewProjection);

// The pointer at clip-space (x, y) taken through matrix (an inverse
// view-projection) to the near and far ends of its ray, four floats each
// with w = 1.
void UnprojectPointerRay(float* nearEnd, float* farEnd, float x, float y, const float* matrix);

} // namespace FulgorCore::Math
