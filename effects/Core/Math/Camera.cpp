#include "effects/Core/Math/Camera.h"

#include "effects/Core/Math/Matrix.h"
#include "effects/Core/Math/Vector3.h"

#include <cmath>

namespace FulgorCore::Math {

bool Matrix34LookAt(float* out, const float* eye, const float* target, const float* up) {
    float f[3];
    Vector3Sub(f, target, eye);
    Vector3Normalize(f, f);
    float u[3];
    Vector3Normalize(u, up);
    if (std::fabs(Vector3Dot(u, f)) > 0.99f)
        return false;
    // The right axis comes from the unnormalised up, as the runtime has it.
    float r[3];
    Vector3Cross(r, up, f);
    Vector3Normalize(r, r);
    float y[3];
    Vector3Cross(y, f, r);
    for (int i = 0; i < 3; ++i) {
        out[i] = r[i];
        out[3 + i] = y[i];
        out[6 + i] = f[i];
        out[9 + i] = eye[i];
    }
    return true;
}

void ConvertHandedness(float* viewOut, const float* viewIn, float* projOut, const float* projIn) {
    static const float kFlipZ[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1};
    Matrix44Multiply(viewOut, viewIn, kFlipZ);
    Matrix44Multiply(projOut, kFlipZ, projIn);
}

void BuildFrustumPlanes(float* planes, const float* viewProjection) {
    static const float kClipCorners[8][3] = {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0},
                                             {-1, -1, 1}, {1, -1, 1}, {1, 1, 1}, {-1, 1, 1}};
    // Three corners per face, ordered so that (b - a) x (c - a) points inwards
    // when the view-projection keeps the handedness of clip space: near,
    // right, left, top, bottom, far.
    static const int kFaces[6][3] = {{0, 1, 2}, {1, 5, 2}, {0, 3, 4},
                                     {3, 2, 7}, {0, 4, 1}, {5, 4, 7}};
    float inverse[16];
    Matrix44Inverse(inverse, viewProjection);
    float corners[8][4];
    float centre[3] = {0.0f, 0.0f, 0.0f};
    for (int i = 0; i < 8; ++i) {
        TransformPointProjected44(corners[i], kClipCorners[i][0], kClipCorners[i][1],
                                  kClipCorners[i][2], inverse);
        for (int k = 0; k < 3; ++k)
            centre[k] += corners[i][k] * 0.125f;
    }
    for (int p = 0; p < 6; ++p) {
        const float* a = corners[kFaces[p][0]];
        const float* b = corners[kFaces[p][1]];
        const float* c = corners[kFaces[p][2]];
        float e1[3], e2[3], n[3];
        Vector3Sub(e1, b, a);
        Vector3Sub(e2, c, a);
        Vector3Cross(n, e1, e2);
        Vector3Normalize(n, n);
        // A camera of the other hand mirrors the volume, and with it every
        // cross product: the volume's centre says which side is inside.
        if (Vector3Dot(n, centre) < Vector3Dot(n, a))
            Vector3MulScalar(n, n, -1.0f);
        float* plane = planes + p * 4;
        plane[0] = n[0];
        plane[1] = n[1];
        plane[2] = n[2];
        plane[3] = Vector3Dot(n, a);
    }
}

void UnprojectPointerRay(float* nearEnd, float* farEnd, float x, float y, const float* matrix) {
    TransformPointProjected44(nearEnd, x, y, 0.0f, matrix);
    TransformPointProjected44(farEnd, x, y, 1.0f, matrix);
}

} // namespace FulgorCore::Math
