#include "effects/Core/Math/EmittedFrame.h"

#include "effects/Core/Math/Matrix.h"

namespace FulgorCore::Math {

void TransformCompose34(EmittedFrame* dest, const EmissionPoint* source, bool worldSpace,
                        const float* transform) {
    for (int i = 0; i < 12; ++i)
        dest->values[i] = source->values[i];
    if (worldSpace) {
        for (int i = 0; i < 3; ++i) {
            dest->position[0][i] = source->position[i];
            dest->direction[i] = source->direction[i];
        }
    } else {
        TransformPoint34(dest->position[0], source->position, transform);
        TransformDirection34(dest->direction, source->direction, transform);
    }
    for (int i = 0; i < 3; ++i) {
        dest->position[1][i] = dest->position[0][i];
        dest->position[2][i] = dest->position[0][i];
    }
}

} // namespace FulgorCore::Math
