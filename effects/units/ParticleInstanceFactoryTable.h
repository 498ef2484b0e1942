#pragma once

#include "effects/units/UnitInstance.h"

#include <cstdint>

namespace FulgorCore {

class InstanceRootUnit;
class ParticleEmitterPart;
class ParticleInstance;
class UnitResource;
struct ParticleSpawnSettings;

// The 24 factories of the particle classes, one per combination of draw
// (0-3), emitter (0-2) and extra (0-1) units, at (A x 3 + B) x 2 + C. A
// factory takes one block of the unit pool and builds its class there, or
// gives null when the pool is exhausted; the particle it returns may have
// ended already (a part found no block).
struct ParticleInstanceFactoryTable {
    // (root, spawning emitter or null, clock with the parent, unit data,
    // spawn settings, point index or -1, spawn origin, position, velocity,
    // rotation, direction).
    using Factory = ParticleInstance* (*)(InstanceRootUnit* owner, ParticleEmitterPart* auxObject,
                                          const UnitInstance::InitialState& state,
                                          const UnitResource* unitData,
                                          const ParticleSpawnSettings* settings, int32_t pointIndex,
                                          const float* origin, const float* position,
                                          const float* velocity, const float* rotation,
                                          const float* direction);

    static constexpr uint32_t kFactories = 24;

    // The table index of the counts, or -1 for counts outside 0-3, 0-2,
    // 0-1 (no class holds them).
    static int32_t IndexOf(uint32_t draws, uint32_t emitters, uint32_t extras);
    // The same for a unit's counts; -1 for no unit.
    static int32_t IndexOf(const UnitResource* unitData);
    // The factory of the unit's class, or null when its counts are outside
    // the table.
    static Factory For(const UnitResource* unitData);

    // The factories the runtime uses (tests may record through them).
    static Factory* Current();
    // The runtime's own.
    static const Factory kBuiltIn[kFactories];
};

} // namespace FulgorCore
