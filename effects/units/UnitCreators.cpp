#include "effects/units/UnitCreators.h"

#include "effects/Core/Math/Matrix.h"
#include "effects/Core/Math/Vector3.h"
#include "effects/units/ParticleEventTargets.h"
#include "effects/units/ParticleInstanceFactoryTable.h"
#include "effects/units/ParticleSpawnSettings.h"
#include "effects/units/ParticleSystemUnit.h"
#include "effects/units/ParticleSystemUnitB.h"

namespace FulgorCore {

namespace {

UnitInstance* CreateCarrier(InstanceRootUnit* owner, const UnitInstance::InitialState& state,
                            const BindResource* binding, uint32_t target, const ChildStart& child) {
    return UnitInstance::Create<ParticleSystemUnit>(owner, state, binding, target, child);
}

UnitInstance* CreateCarrierPair(InstanceRootUnit* owner, const UnitInstance::InitialState& state,
                                const BindResource* binding, uint32_t targetA, uint32_t targetB,
                                const ChildStart& child) {
    return UnitInstance::Create<ParticleSystemUnitB>(owner, state, binding, targetA, targetB,
                                                     child);
}

constexpr ParticleSpawnSettings kDefaultSettings = ParticleSpawnSettings::Default();

// A particle started at a point by a carrier or a timeline: no spawner, no
// shape point, at rest, facing +Z. Counts outside the table build nothing.
ParticleInstance* CreateParticle(InstanceRootUnit* root, const UnitInstance::InitialState& state,
                                 const UnitResource* unit, const float* position) {
    const ParticleInstanceFactoryTable::Factory factory = ParticleInstanceFactoryTable::For(unit);
    if (!factory)
        return nullptr;
    return factory(root, nullptr, state, unit, &kDefaultSettings, -1, position, position,
                   Math::kZeroVector3, Math::kZeroVector3, &Math::kIdentity34[6]);
}

constexpr UnitCreators BuiltIn() {
    return {
        CreateCarrier,
        CreateCarrierPair,
        CreateParticle,
        {ParticleInstance::ForEachEventTarget<ParticleInstance::MorphOn>,
         ParticleInstance::ForEachEventTarget<ParticleInstance::SpawnChildOn>,
         ParticleInstance::ForEachEventTarget<ParticleInstance::TriggerOn>,
         ParticleInstance::ForEachEventTarget<ParticleInstance::FinishOn>},
    };
}

constinit UnitCreators g_current = BuiltIn();

} // namespace

constinit const UnitCreators UnitCreators::kBuiltIn = BuiltIn();

UnitCreators& UnitCreators::Current() {
    return g_current;
}

} // namespace FulgorCore
