// Spawning one particle of an emitter, and the birth and death emissions.
#include "effects/Core/Noise/Xorshift128.h"
#include "effects/Core/Resource/EmitterResource.h"
#include "effects/Core/Resource/EmitterSpawnEntry.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/Core/Resource/UnitResource.h"
#include "effects/units/DelayedEmitUnit.h"
#include "effects/units/EmitterUnit.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/NewbornAdvance.h"
#include "effects/units/ParticleInstance.h"
#include "effects/units/ParticleInstanceFactoryTable.h"
#include "effects/units/ParticleSpawnSettings.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

namespace FulgorCore {

namespace {

constexpr float kPi = std::bit_cast<float>(0x40490FDBu);
constexpr float kTwoPi = std::bit_cast<float>(0x40C90FDBu);
// Past this many turns the plain wrap would take too many steps (or,
// once whole turns are lost in the float, never end).
constexpr float kWrapLimit = 4096.0f * kTwoPi;

// Event triggers ("GeIT").
constexpr uint32_t kBirth = 1;
constexpr uint32_t kDeath = 2;

// The class of the unit's counts from the factory table; none for counts
// no class holds.
UnitInstance* FromTable(InstanceRootUnit* root, EmitterUnit* spawner,
                        const UnitInstance::InitialState& state, const UnitResource* unit,
                        const ParticleSpawnSettings* settings, int32_t pointIndex,
                        const float* origin, const float* position, const float* velocity,
                        const float* rotation, const float* direction) {
    const ParticleInstanceFactoryTable::Factory factory = ParticleInstanceFactoryTable::For(unit);
    return factory ? factory(root, spawner, state, unit, settings, pointIndex, origin, position,
                             velocity, rotation, direction)
                   : nullptr;
}

int32_t Signed16(uint32_t v) {
    return static_cast<int16_t>(static_cast<uint16_t>(v));
}

struct Lifetime {
    float frames;
    float rate;
};

// Lifetime modes ("OvLf").
Lifetime ScaledRate(float frames, const UnitResource& unit, const EmitterSpawnEntry& item) {
    // A lifetime of 0 or less never ends by time; its rate stays 1.
    const bool scaled = (item.GetFlags() & EmitterSpawnEntry::kLfS) && frames > 0.0f;
    return {frames, scaled ? unit.GetLife() / frames : 1.0f};
}

Lifetime OwnLifetime(const UnitResource& unit, const UnitInstance&, Xorshift128&,
                     const EmitterSpawnEntry&) {
    return {unit.GetLife(), 1.0f};
}

Lifetime OwnersLifetime(const UnitResource& unit, const UnitInstance& owner, Xorshift128&,
                        const EmitterSpawnEntry& item) {
    return ScaledRate(owner.lifetime, unit, item);
}

Lifetime DrawnLifetime(const UnitResource& unit, const UnitInstance&, Xorshift128& random,
                       const EmitterSpawnEntry& item) {
    const int32_t lif = Signed16(item.GetLif());
    // A negative range acts as 0: no draw (its divisor would be 0 or less).
    const int32_t range = Signed16(item.GetLifR());
    const uint32_t extra = range > 0 ? random.Next() % static_cast<uint32_t>(range + 1) : 0u;
    return ScaledRate(static_cast<float>(lif + static_cast<int32_t>(extra)), unit, item);
}

using LifetimeMode = Lifetime (*)(const UnitResource&, const UnitInstance&, Xorshift128&,
                                  const EmitterSpawnEntry&);
constexpr LifetimeMode kLifetimeModes[3] = {OwnLifetime, OwnersLifetime, DrawnLifetime};

void Wrap(float& angle) {
    if (!(std::fabs(angle) < kWrapLimit))
        angle = std::fmod(angle, kTwoPi);
    while (angle > kPi)
        angle -= kTwoPi;
    while (angle < -kPi)
        angle += kTwoPi;
}

// The whole frames of a newborn's advance: its age truncated toward zero
// plus the item's start offset. The age is bounded in float before it is
// converted: past the 32-bit range (or infinite) it counts as the range's
// end, and a NaN age as none.
int64_t AdvanceFrames(float age, int32_t offset) {
    constexpr float kRange = 2147483648.0f; // 2^31
    int64_t whole = 0;
    if (age >= kRange)
        whole = INT32_MAX;
    else if (age <= -kRange)
        whole = INT32_MIN;
    else if (!std::isnan(age))
        whole = static_cast<int32_t>(age);
    return whole + offset;
}

// The frames a newborn's own clock lets it live: its lifetime when it ends
// at its end time and does not wrap back before it; without end for an
// endless or looping one.
float LifeFrames(const UnitInstance::InitialState& state) {
    const bool ends = state.timeMode == UnitInstance::kEndAtTime && !(state.loopEnd > 0.0f);
    return ends ? state.lifetime : std::numeric_limits<float>::infinity();
}

// Advances a newborn by `frames` (more than 0), in single frames or in one
// step, never further than it lives: an advance at or past its life ends it
// at its end time, as its clock would, and single frames stop once it has
// ended. An advance a damaged age makes huge thus costs at most the
// newborn's life in steps, or kMaxSingleFrameAdvance and one more step for
// a newborn without end.
void AdvanceNewborn(UnitInstance* particle, int64_t frames, float life, bool singleFrames) {
    const NewbornAdvance advance;
    int64_t done = 0;
    if (singleFrames) {
        const int64_t steps = std::min(frames, EmitterUnit::kMaxSingleFrameAdvance);
        for (; done < steps && particle->alive; ++done) {
            particle->Update(1.0f);
            particle->Evaluate();
        }
        if (done == frames || !particle->alive)
            return;
    }
    particle->Update(std::min(static_cast<float>(frames - done), life));
    particle->Evaluate();
}

EmitterUnit::ParticleFactory g_factory = FromTable;

} // namespace

const EmitterUnit::ParticleFactory EmitterUnit::kBuiltInFactory = FromTable;

EmitterUnit::ParticleFactory& EmitterUnit::Factory() {
    return g_factory;
}

void EmitterUnit::SpawnParticle(float age, uint32_t item, const float* position,
                                const float* direction, float speed, int32_t pointIndex) {
    const EmitterSpawnEntry* spawn = item < itemCount ? data->GetSpawnEntry(item) : nullptr;
    if (!spawn || !itemState)
        return;
    EmitterItemState::Item& state = itemState->items[item];
    InstanceRootUnit* root = owner->owner;
    const int32_t unitIndex = static_cast<int8_t>(spawn->GetTgUI());
    const UnitResource* unit = unitIndex >= 0 && root->package
                                   ? root->package->GetUnit(static_cast<uint32_t>(unitIndex))
                                   : nullptr;
    if (unit) {
        // A mode past the table acts as mode 0.
        const uint32_t mode = spawn->GetOvLf() < 3 ? spawn->GetOvLf() : 0u;
        const Lifetime life = kLifetimeModes[mode](*unit, *owner, *random, *spawn);
        UnitInstance::InitialState initial;
        initial.parent = owner;
        initial.loopStart = unit->GetLoopStart();
        initial.loopEnd = unit->GetLoopEnd();
        initial.speed = life.rate;
        initial.lifetime = life.frames;
        initial.timeMode = life.frames > 0.0f ? UnitInstance::kEndAtTime : UnitInstance::kEndless;

        float velocity[3];
        for (int c = 0; c < 3; ++c)
            velocity[c] = direction[c] * speed;
        const float step = owner->lastStep;
        if ((spawn->GetFlags() & EmitterSpawnEntry::kLiI) && step > 0.0f) {
            const float* now = owner->GetWorldMatrix() + 9;
            const float* before = owner->GetPreviousWorldMatrix() + 9;
            const float inverse = 1.0f / step;
            for (int c = 0; c < 3; ++c)
                velocity[c] += (now[c] - before[c]) * inverse;
        }
        // The settings tail: "PLNo", three bytes of padding, the packed word.
        ParticleSpawnSettings settings{{static_cast<uint8_t>(spawn->GetPLNo()), 0, 0, 0}};
        const uint32_t packed = spawn->GetPacked();
        std::memcpy(settings.bytes + 4, &packed, 4);

        UnitInstance* particle =
            g_factory(root, this, initial, unit, &settings, pointIndex, owner->GetWorldMatrix() + 9,
                      position, velocity, state.rotation, direction);
        if (particle) {
            // A particle added while another new one advances waits for
            // its parent's next update instead.
            const int64_t frames = AdvanceFrames(age, Signed16(spawn->GetUST()));
            if (frames > 0 && NewbornAdvance::Allowed())
                AdvanceNewborn(particle, frames, LifeFrames(initial),
                               spawn->GetFlags() & EmitterSpawnEntry::kLSF);
            owner->AddChild(particle);
        }
    }
    // Failed or not, the next particle of the item keeps its spacing.
    AdvanceRotation(item, 1.0f);
}

void EmitterUnit::AdvanceRotation(uint32_t item, float times) {
    const EmitterSpawnEntry* spawn = item < itemCount ? data->GetSpawnEntry(item) : nullptr;
    if (!spawn || !itemState)
        return;
    float* rotation = itemState->items[item].rotation;
    const float* step = spawn->GetREI();
    for (int c = 0; c < 3; ++c) {
        // Many steps at once turn by whole turns less: a huge step times
        // a count would pass the float's range.
        rotation[c] += times == 1.0f ? step[c] : std::fmod(step[c], kTwoPi) * times;
        Wrap(rotation[c]);
    }
}

void EmitterUnit::SpawnEventChildren() {
    SpawnEventItems(kBirth, 0.0f, true);
}

void EmitterUnit::SpawnEventChildrenType2() {
    SpawnEventItems(kDeath, owner->time, false);
}

void EmitterUnit::SpawnEventItems(uint32_t trigger, float time, bool refreshShape) {
    if (!itemState || itemCount == 0)
        return;
    for (uint32_t i = 0; i < itemCount; ++i) {
        const EmitterSpawnEntry* spawn = data->GetSpawnEntry(i);
        if (static_cast<uint32_t>(Signed16(spawn->GetGeIT())) != trigger)
            continue;
        const uint32_t roll = random->Next() % 100u + 1u;
        if (static_cast<int32_t>(roll) > Signed16(spawn->GetGeIP()))
            continue;
        const int32_t count = Signed16(spawn->GetGeIC());
        const int32_t delay = Signed16(spawn->GetGeSD());
        if (delay >= 1) {
            // Without a block the item's emission is lost.
            owner->AddChild(
                DelayedEmitUnit::Create(owner, this, i, count, static_cast<float>(delay)));
            continue;
        }
        if (refreshShape) {
            UpdateShape(owner->time);
            refreshShape = false;
        }
        Emit(time, static_cast<float>(Signed16(spawn->GetUST())),
             count > 0 ? static_cast<uint32_t>(count) : 0u, i, 1.0f);
    }
}

} // namespace FulgorCore
