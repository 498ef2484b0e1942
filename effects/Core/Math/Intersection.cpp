#include "effects/Core/Math/Intersection.h"

#include "effects/Core/Math/Vector3.h"

#include <cmath>

namespace FulgorCore::Math {

namespace {

// Whether the line through start with the given delta crosses the face
// axis = h inside the other two half extents (bounds inclusive).
bool HitsFace(const float* start, const float* delta, const float* half, int axis, float h) {
    const float t = (h - start[axis]) / delta[axis];
    for (int other = 0; other < 3; ++other) {
        if (other == axis)
            continue;
        const float v = start[other] + delta[other] * t;
        if (v < -half[other] || v > half[other])
            return false;
    }
    return true;
}

} // namespace

bool SegmentHitsBox(const float* start, const float* end, const float* halfExtents) {
    float delta[3];
    Vector3Sub(delta, end, start);
    for (int axis = 0; axis < 3; ++axis) {
        if (std::fabs(delta[axis]) <= 0.005f)
            continue;
        const float h = halfExtents[axis];
        // x and y try the negative face first, z the positive one.
        const float first = axis == 2 ? h : -h;
        if (HitsFace(start, delta, halfExtents, axis, first) ||
            HitsFace(start, delta, halfExtents, axis, -first))
            return true;
    }
    return false;
}

bool RayHitsSphere(const float* start, const float* end, const float* bounds) {
    float u[3];
    Vector3Sub(u, end, start);
    Vector3Normalize(u, u);
    float c[3];
    Vector3MulScalar(c, start, -1.0f);
    const float along = Vector3Dot(u, c);
    return along * along - Vector3Dot(c, c) + bounds[1] >= 0.0f;
}

} // namespace FulgorCore::Math
