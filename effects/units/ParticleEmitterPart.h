#pragma once

#include "effects/units/UnitPoolPart.h"

#include <cstdint>

namespace FulgorCore {

class EmitterTransformUnit;

// What a particle instance asks of each of its emitter units. The emitter
// units derive from it; the particle deletes them before its own body goes.
class ParticleEmitterPart : public UnitPoolPart {
public:
    // The particle starts: the emitter's start-event children.
    virtual void SpawnEventChildren() = 0;
    // The particle is killed: the emitter's death-event children.
    virtual void SpawnEventChildrenType2() = 0;
    // The particle's own step of the frame: emission.
    virtual void Update() = 0;
    // Where the emitter's shape point `index` is now, for a particle that
    // follows its spawner's point.
    virtual void GetPointPosition(uint32_t index, float* out) const = 0;
    // The unit at position `index` of the emitter's attached units that a
    // particle it spawns follows; null where there is none.
    virtual const EmitterTransformUnit* GetLinkedUnit(int32_t) const { return nullptr; }
};

} // namespace FulgorCore
