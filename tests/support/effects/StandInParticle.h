// A particle instance without parts for tests that need a particle to
// post events to, hover over or parent units to: unit data optional, at
// the origin, events taken when asked.
#pragma once

#include "effects/units/ParticleInstance.h"
#include "effects/units/UnitInstance.h"

namespace testsupport {

inline FulgorCore::ParticleInstance*
StandInParticle(FulgorCore::InstanceRootUnit* root,
                const FulgorCore::UnitInstance::InitialState& state,
                const FulgorCore::UnitResource* unit = nullptr, bool takesEvents = false) {
    auto* node = FulgorCore::UnitInstance::Create<FulgorCore::ParticleInstance>(
        root, nullptr, state, unit, nullptr, -1, nullptr, nullptr, nullptr, nullptr, nullptr);
    if (node && takesEvents)
        node->takesEvents = 1;
    return node;
}

} // namespace testsupport
