#pragma once

#include "effects/Core/Engine/InstanceSlot.h"
#include "effects/Core/Engine/ObjectSlot.h"
#include "effects/Core/Resource/PackageResource.h"

namespace FulgorCore {

// The frustum test of an instance against the six planes of the engine work
// data, whose normals point into the volume whichever hand the camera is:
// an effect that does not ask for culling ("bFCl") is always in; otherwise
// the bounding sphere is out once its centre lies more than its radius
// behind one plane, so a sphere inside or touching the volume is kept.
// Inline: the layer draw tests every instance of a layer each frame.
inline bool IsInstanceInFrustum(const float (&planes)[6][4], const InstanceSlot& instance) {
    const PackageResource* package = instance.effect ? instance.effect->package : nullptr;
    if (!package || !package->GetFlagFCl())
        return true;
    const float* s = instance.bounds;
    for (const float* plane : planes) {
        const float inside = plane[0] * s[0] + plane[1] * s[1] + plane[2] * s[2] - plane[3];
        if (!(inside >= -s[3]))
            return false;
    }
    return true;
}

} // namespace FulgorCore
