#include "effects/Core/Math/BoundingSphere.h"

#include "effects/Core/Math/Matrix.h"
#include "effects/Core/Math/Vector3.h"

namespace FulgorCore {

void ComputeBoundingRadius(float* sphere, const float* localCentre, float localRadius,
                           const float* world) {
    float s2 = Math::Vector3Dot(world, world);
    const float y2 = Math::Vector3Dot(world + 3, world + 3);
    const float z2 = Math::Vector3Dot(world + 6, world + 6);
    if (y2 > s2)
        s2 = y2;
    if (z2 > s2)
        s2 = z2;
    Math::TransformPoint34(sphere, localCentre, world);
    sphere[3] = localRadius * Math::ApproxSqrt(s2);
}

} // namespace FulgorCore
