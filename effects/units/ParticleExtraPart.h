#pragma once

#include "effects/units/UnitPoolPart.h"

#include <cstdint>

namespace FulgorCore {

// What a particle instance asks of its extra unit: the per-frame update in
// the transform step, after which the particle appends it to the root's
// list of this frame's extra units (ExtraUnitList: linked both ways, and
// marked with the list's clear count while it holds the unit).
class ParticleExtraPart : public UnitPoolPart {
public:
    virtual void Update() = 0;

    ParticleExtraPart* previousExtra = nullptr;
    ParticleExtraPart* nextExtra = nullptr;
    uint32_t listMark = 0;
};

} // namespace FulgorCore
