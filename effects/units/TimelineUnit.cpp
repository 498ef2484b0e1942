#include "effects/units/TimelineUnit.h"

#include "effects/Core/Resource/BindResource.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/Core/Resource/TimelineResource.h"
#include "effects/Core/Resource/UnitResource.h"
#include "effects/units/ChildStart.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/ParticleInstance.h"
#include "effects/units/TimelineCommand.h"

namespace FulgorCore {

namespace {

constexpr uint64_t kAllDone = ~uint64_t{0};

uint32_t EntryCount(const TimelineResource* timeline) {
    const uint32_t count = timeline ? timeline->GetItemCount() : 0;
    return count < TimelineUnit::kMaxEntries ? count : TimelineUnit::kMaxEntries;
}

} // namespace

TimelineUnit::TimelineUnit(InstanceRootUnit* owner, const InitialState& state,
                           const TimelineResource* timeline, int8_t id)
    : UnitInstance(owner, state), timeline(timeline) {
    timelineId = id;
    // A timeline draws nothing: no pass A or pass B body.
    evaluateMember = NoOp;
    collectMember = NoOp;
    const uint32_t flags = owner->instanceFlags;
    for (uint32_t i = 0; i < EntryCount(timeline); ++i) {
        const TimelineItem* entry = timeline->GetItem(i);
        if (entry->enabled != 0 && (entry->flags & flags) != 0) {
            doneMask &= ~(uint64_t{1} << i);
            ++holdCount;
        }
    }
    FindNextStart();
}

void TimelineUnit::FindNextStart() {
    float earliest = 0.0f;
    bool any = false;
    for (uint32_t i = 0; i < EntryCount(timeline); ++i) {
        if (doneMask & (uint64_t{1} << i))
            continue;
        const float start =
            static_cast<float>(static_cast<int16_t>(timeline->GetItem(i)->startFrame));
        if (!any || start < earliest)
            earliest = start;
        any = true;
    }
    nextStart = earliest;
}

UnitInstance::InitialState TimelineUnit::StateFor(UnitInstance* parent, float length) {
    InitialState state;
    state.parent = parent;
    state.speed = 1.0f;
    state.lifetime = length;
    state.timeMode = length <= 0.0f ? kEndless : kEndAtTime;
    return state;
}

void TimelineUnit::Step() {
    // An idle timeline costs one comparison: nothing is due before the
    // earliest pending start frame.
    if (doneMask == kAllDone || time - nextStart < 0.0f)
        return;
    const uint32_t count = EntryCount(timeline);
    for (uint32_t i = 0; i < count; ++i) {
        const uint64_t bit = uint64_t{1} << i;
        if (doneMask & bit)
            continue;
        const TimelineItem* entry = timeline->GetItem(i);
        if (time - static_cast<float>(static_cast<int16_t>(entry->startFrame)) >= 0.0f) {
            doneMask |= bit;
            // The position of the translation row of the unit's matrix,
            // which only a firing entry needs.
            Fire(&GetWorldMatrix()[9], *entry);
            --holdCount;
        }
    }
    FindNextStart();
}

void TimelineUnit::Fire(const float* position, const TimelineItem& entry) {
    const int16_t kind = static_cast<int16_t>(entry.type);
    if (kind == kStartUnit) {
        const int32_t span =
            static_cast<int16_t>(entry.endFrame) - static_cast<int16_t>(entry.startFrame);
        StartUnit(position, entry.target, span, static_cast<int16_t>(entry.lct), entry.bind);
    } else if (kind == kRunCommand) {
        CreateCommand(entry.clipIndex);
    }
}

void TimelineUnit::CreateCommand(int32_t index) {
    const TimelineClip* record =
        index >= 0 && timeline ? timeline->GetClip(static_cast<uint32_t>(index)) : nullptr;
    if (!record || !TimelineCommand::Knows(record->GetCommand()))
        return;
    AddChild(UnitInstance::Create<TimelineCommand>(owner, this, *record));
}

void TimelineUnit::StartUnit(const float* position, int32_t unitIndex, int32_t span,
                             int32_t fitMode, int32_t bindingIndex) {
    const PackageResource* package = owner->package;
    const UnitResource* unit =
        package && unitIndex >= 0 ? package->GetUnit(static_cast<uint32_t>(unitIndex)) : nullptr;
    if (!unit)
        return;
    // The unit's own length fitted to the entry's span.
    const float length = unit->GetLife();
    const float frames = static_cast<float>(span);
    float lifetime = length;
    float speed = 1.0f;
    switch (fitMode) {
    case 1: // the whole unit within the span
        lifetime = frames;
        speed = length / frames;
        break;
    case 2: // the unit cut at the span
        lifetime = frames;
        break;
    case 3: // endless
        lifetime = -1.0f;
        break;
    default:
        break;
    }
    if (bindingIndex < 0) {
        AddChild(owner->SpawnParticleInstance(this, unit, position, lifetime, speed));
        return;
    }
    const BindResource* binding = package->GetBind(static_cast<uint32_t>(bindingIndex));
    if (!binding)
        return;
    InitialState state;
    state.parent = this;
    const float bindingLength = static_cast<float>(binding->GetLife());
    if (lifetime > 0.0f) {
        state.lifetime = lifetime;
        state.speed = bindingLength / lifetime;
        state.timeMode = kEndAtTime;
    } else {
        state.speed = 1.0f;
        state.lifetime = bindingLength;
        state.timeMode = kEndless;
    }
    ChildStart child;
    child.childKind = ChildStart::kParticle;
    child.unit = unit;
    child.childLifetime = lifetime;
    child.childSpeed = speed;
    CreateCarriers(binding, state, child);
}

} // namespace FulgorCore
