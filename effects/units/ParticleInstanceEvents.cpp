// The event kinds 0-3 of a particle's schedules: the units each due entry
// acts on, chosen around the particle that owns the schedule, and the four
// actions.
#include "effects/Core/Resource/PackageResource.h"
#include "effects/Core/Resource/UnitResource.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/ParticleInstance.h"
#include "effects/units/ParticleInstanceFactoryTable.h"
#include "effects/units/ParticleSpawnSettings.h"
#include "sys/bytes.h"

namespace FulgorCore {

namespace {

// Entry bytes read here.
constexpr uint32_t kIndexByte = 6;
constexpr uint32_t kSettingsByteA = 7;
constexpr uint32_t kSettingsByteB = 8;
constexpr uint32_t kDelayOffset = 8;

constexpr float kZero[3] = {0.0f, 0.0f, 0.0f};
constexpr float kAlongZ[3] = {0.0f, 0.0f, 1.0f};

// Kind 3 is also the emitters' transform units, which are no particles:
// only a particle instance is acted on.
ParticleInstance* AsParticle(UnitInstance* unit) {
    return unit->GetKind() == UnitInstance::kParticleNode ? dynamic_cast<ParticleInstance*>(unit)
                                                          : nullptr;
}

// The package's unit of the entry's index byte, or null when the package
// does not resolve it.
const UnitResource* EntryUnit(const ParticleInstance& target,
                              const UnitTimelineResource::Item& entry) {
    const PackageResource* package = target.owner->package;
    const int8_t index = static_cast<int8_t>(entry.bytes[kIndexByte]);
    return package && index >= 0 ? package->GetUnit(static_cast<uint32_t>(index)) : nullptr;
}

} // namespace

void ParticleInstance::MorphOn(UnitInstance* unit, const UnitTimelineResource::Item& entry) {
    if (ParticleInstance* target = AsParticle(unit))
        MorphTracks(target, entry);
}

void ParticleInstance::SpawnChildOn(UnitInstance* unit, const UnitTimelineResource::Item& entry) {
    if (ParticleInstance* target = AsParticle(unit))
        SpawnChildParticle(target, entry);
}

void ParticleInstance::TriggerOn(UnitInstance* unit, const UnitTimelineResource::Item& entry) {
    if (ParticleInstance* target = AsParticle(unit))
        TriggerEvent(target, static_cast<int16_t>(sys::LoadU16(entry.bytes + kDelayOffset)),
                     entry.bytes[kIndexByte]);
}

void ParticleInstance::FinishOn(UnitInstance* unit, const UnitTimelineResource::Item&) {
    unit->Finish();
}

void ParticleInstance::SpawnChildParticle(ParticleInstance* target,
                                          const UnitTimelineResource::Item& entry) {
    const UnitResource* unit = EntryUnit(*target, entry);
    const ParticleInstanceFactoryTable::Factory factory = ParticleInstanceFactoryTable::For(unit);
    if (!factory)
        return;
    InitialState state;
    state.parent = target;
    state.lifetime = unit->GetLife();
    state.timeMode = state.lifetime > 0.0f ? kEndAtTime : kEndless;
    // Bytes 1-3 are not the event's to set: they are 0.
    const ParticleSpawnSettings settings{{0xFF, 0x00, 0x00, 0x00, 0x00, entry.bytes[kSettingsByteA],
                                          entry.bytes[kSettingsByteB], 0x00}};
    float at[3];
    const float* t = &target->GetWorldMatrix()[9];
    at[0] = t[0];
    at[1] = t[1];
    at[2] = t[2];
    target->AddChild(
        factory(target->owner, nullptr, state, unit, &settings, -1, at, at, kZero, kZero, kAlongZ));
}

void ParticleInstance::TriggerEvent(ParticleInstance* target, int32_t delay, uint8_t event) {
    target->QueueSchedule(event, static_cast<float>(delay));
}

} // namespace FulgorCore
