#include "effects/units/InstanceRootUnit.h"

#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineInternal.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/Core/Resource/UnitResource.h"
#include "effects/units/ChildInstanceTable.h"

#include <cstring>

namespace FulgorCore {

namespace {

// The least root lives as long as the package's longest unit, endlessly
// when none has a life.
UnitInstance::InitialState LeastClock(const PackageResource* package,
                                      const UnitInstance::InitialState& start) {
    float longest = 0.0f;
    for (uint32_t i = 0; package && i < package->GetUnitCount(); ++i)
        if (const UnitResource* unit = package->GetUnit(i))
            longest = unit->GetLife() > longest ? unit->GetLife() : longest;
    UnitInstance::InitialState clock = start;
    clock.parent = nullptr;
    clock.lifetime = longest;
    clock.timeMode = longest > 0.0f ? UnitInstance::kEndAtTime : UnitInstance::kEndless;
    return clock;
}

} // namespace

InstanceRootUnit::InstanceRootUnit(const PackageResource* package, const InitialState& start,
                                   IInstanceListenner* listener, const float* transform,
                                   uint32_t seed, uint16_t timelineFlags)
    : UnitInstance(this, LeastClock(package, start)), timelineFlags(timelineFlags),
      package(package), startState(start), listener(listener) {
    std::memcpy(worldMatrix, transform, sizeof(worldMatrix));
    random.Seed(seed);
}

InstanceRootUnit::~InstanceRootUnit() {
    if (childInstances) {
        childInstances->KillChildren();
        Engine::GetUnitInstancePool().Free(childInstances);
    }
}

void InstanceRootUnit::Step() {
    if (childUpdateMember != NoOp)
        childUpdateMember(this);
}

void InstanceRootUnit::ResolveChildRoots(UnitInstance* unit) {
    static_cast<InstanceRootUnit*>(unit)->childInstances->ResolveRoots();
}

void InstanceRootUnit::SetColor(const float* rgba) {
    std::memcpy(colour, rgba, sizeof(colour));
}

void InstanceRootUnit::SetWorldMatrix(const float* matrix34) {
    std::memcpy(worldMatrix, matrix34, sizeof(worldMatrix));
}

void InstanceRootUnit::SetLayer(uint8_t value) {
    layer = value;
    if (childInstances)
        childInstances->SetLayer(value);
}

void InstanceRootUnit::SpawnChildEffects(const char* const* names, uint32_t count) {
    if (!childInstances) {
        void* block = Engine::GetUnitInstancePool().Allocate();
        if (!block)
            return;
        std::memset(block, 0, sizeof(ChildInstanceTable));
        childInstances = static_cast<ChildInstanceTable*>(block);
        childUpdateMember = ResolveChildRoots;
    }
    for (uint32_t i = 0; i < count && i < ChildInstanceTable::kPlaces; ++i) {
        const ObjectHandle* effect = package ? package->FindReference(names[i]) : nullptr;
        if (!effect || effect->serial == 0)
            continue;
        childInstances->handles[i] = Engine::StartChildInstance(*effect, listener, layer);
        childInstances->roots[i] = nullptr;
    }
}

} // namespace FulgorCore
