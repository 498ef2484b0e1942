#pragma once

#include "effects/Core/Transform/EulerRotation.h"
#include "effects/Core/Value/EvaluationContext.h"

#include <cstdint>

namespace FulgorCore {

class EmitterResource;
struct Xorshift128;

// What an emitter unit evaluates of its shape each frame: the kind's
// animated values in the order of the shape's getters (kind 1 its speed;
// 3 inner and outer radius, inner and outer angle; 4 inner and outer
// radius; 5 radius; 6 length, radius; 8 the three sizes;
// 9 the two sizes), with the samples drawn when the emitter was made, and
// the emitter rotation and the along-axis rotation.
struct EmitterShapeFrame {
    float values[4];
    float samples[4];
    float rotationSamples[3];
    float axisSamples[3];
    float rotation[12];
    float axisRotation[12];
};

// The emitter's shape values at the frame's times, then its rotation
// ("LRot") through the owner's rotation builder and, with the along-axis
// flag, the second rotation ("IAAg"). K is the emitter kind (1 to 9; kind 2 has only
// the rotations); an
// emitter of another kind changes nothing.
template <uint32_t K>
void UpdateShapeParameters(EmitterShapeFrame& frame, const EmitterResource& emitter,
                           EulerBuilder rotationBuilder, bool alongAxis,
                           const EvaluationContext& context, Xorshift128& random);

} // namespace FulgorCore
