#pragma once

#include "effects/Core/Resource/UnitTimelineResource.h"
#include "effects/units/UnitInstance.h"

#include <cstdint>

namespace FulgorCore {

class BindResource;
class InstanceRootUnit;
class ParticleInstance;
class UnitResource;
struct ChildStart;

// Where the tree starts units and event actions whose classes belong to
// other parts of the unit tree: the bound carriers (one endpoint or two),
// the particle instances that timelines and carriers spawn, and the actions
// of event kinds 0-3 over their targets. A creator gives null when it
// builds nothing (the pool is exhausted, or a particle's part counts have
// no class), and every caller handles that as an exhausted pool. This is
// the one place the tree reaches them through.
struct UnitCreators {
    // (owner, the carrier's clock, binding, target, what it starts).
    using Carrier = UnitInstance* (*)(InstanceRootUnit* owner,
                                      const UnitInstance::InitialState& state,
                                      const BindResource* binding, uint32_t target,
                                      const ChildStart& child);
    // (owner, clock, binding, target of endpoint 0, target of endpoint 1,
    // what it starts).
    using CarrierPair = UnitInstance* (*)(InstanceRootUnit* owner,
                                          const UnitInstance::InitialState& state,
                                          const BindResource* binding, uint32_t targetA,
                                          uint32_t targetB, const ChildStart& child);
    // (root, the particle's clock with its parent, unit data, position).
    using Particle = ParticleInstance* (*)(InstanceRootUnit* root,
                                           const UnitInstance::InitialState& state,
                                           const UnitResource* unit, const float* position);
    // (the schedule's particle, the due event entry, target mode, depth).
    using EventAction = void (*)(ParticleInstance* start, const UnitTimelineResource::Item& entry,
                                 int32_t mode, int32_t depth);

    static constexpr uint32_t kEventActions = 4;

    Carrier carrier;
    CarrierPair carrierPair;
    Particle particle;
    EventAction eventActions[kEventActions];

    // The creators the runtime uses.
    static UnitCreators& Current();
    // The runtime's own.
    static const UnitCreators kBuiltIn;
};

} // namespace FulgorCore
