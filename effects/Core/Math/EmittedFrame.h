#pragma once

namespace FulgorCore {

// A point produced by an emitter shape, in the emitter's space: position,
// direction and the twelve per-particle values that travel with it.
struct EmissionPoint {
    float position[3];
    float direction[3];
    float values[12];
};

// The same point placed for a particle: its position is written three times
// (current, previous and start position of the particle).
struct EmittedFrame {
    float position[3][3];
    float direction[3];
    float values[12];
};

namespace Math {

// Places an emitted point: copies the values; in world space copies position
// and direction unchanged, otherwise takes the position as a point and the
// direction as a direction through the 3x4 transform.
void TransformCompose34(EmittedFrame* dest, const EmissionPoint* source, bool worldSpace,
                        const float* transform);

} // namespace Math
} // namespace FulgorCore
