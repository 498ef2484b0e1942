#pragma once

#include "effects/units/UnitPoolPart.h"

namespace FulgorCore {

// What a particle instance asks of each of its draw units. The draw units
// derive from it; the particle deletes them before its own body goes.
class ParticleDrawPart : public UnitPoolPart {
public:
    // The particle's own step of the frame, after its emitters.
    virtual void Step() {}
    // Pass A, after the particle's transform step: the unit's per-frame
    // values and kernels.
    virtual void Update() = 0;
    // Pass B: the unit enters this frame's draw lists.
    virtual void Collect() {}
    // The particle goes: the unit gives back the draw-list count it
    // registered with the root.
    virtual void ReleaseDrawListCount() {}
};

} // namespace FulgorCore
