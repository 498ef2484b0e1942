#include "effects/units/UnitCreators.h"

namespace FulgorCore {

namespace {

// The carriers and particle instances come with their own part of the
// tree; until then nothing is built, as when the pool is exhausted.
UnitInstance* CreateNoCarrier(InstanceRootUnit*, const UnitInstance::InitialState&,
                              const BindResource*, uint32_t, const ChildSpec&) {
    return nullptr;
}

UnitInstance* CreateNoCarrierPair(InstanceRootUnit*, const UnitInstance::InitialState&,
                                  const BindResource*, uint32_t, uint32_t, const ChildSpec&) {
    return nullptr;
}

ParticleInstance* CreateNoParticle(InstanceRootUnit*, const UnitInstance::InitialState&,
                                   const UnitResource*, const float*) {
    return nullptr;
}

// Event targets and their actions come with the unit events.
void NoEventAction(ParticleInstance*, const UnitTimelineResource::Item&, int32_t, int32_t) {}

constexpr UnitCreators BuiltIn() {
    return {
        CreateNoCarrier,
        CreateNoCarrierPair,
        CreateNoParticle,
        {NoEventAction, NoEventAction, NoEventAction, NoEventAction},
    };
}

constinit UnitCreators g_current = BuiltIn();

} // namespace

constinit const UnitCreators UnitCreators::kBuiltIn = BuiltIn();

UnitCreators& UnitCreators::Current() {
    return g_current;
}

} // namespace FulgorCore
