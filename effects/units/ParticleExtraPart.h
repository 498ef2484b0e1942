#pragma once

#include "effects/units/UnitPoolPart.h"

namespace FulgorCore {

// What a particle instance asks of its extra unit: the per-frame update in
// the transform step, after which the particle appends it to the root's
// list of this frame's extra units (linked both ways).
class ParticleExtraPart : public UnitPoolPart {
public:
    virtual void Update() = 0;

    ParticleExtraPart* previousExtra = nullptr;
    ParticleExtraPart* nextExtra = nullptr;
};

} // namespace FulgorCore
