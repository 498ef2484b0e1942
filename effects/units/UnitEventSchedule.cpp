#include "effects/units/UnitEventSchedule.h"

#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Memory/UnitInstancePool.h"
#include "effects/Core/Resource/UnitTimelineResource.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/ParticleInstance.h"
#include "effects/units/UnitCreators.h"
#include "sys/bytes.h"

#include <new>

namespace FulgorCore {

UnitEventSchedule* UnitEventSchedule::Create(const UnitTimelineResource* events,
                                             ParticleInstance* target, float delay) {
    void* block = Engine::GetUnitInstancePool().Allocate();
    return block ? new (block) UnitEventSchedule(events, target, delay) : nullptr;
}

void UnitEventSchedule::operator delete(void* block) {
    Engine::GetUnitInstancePool().Free(block);
}

UnitEventSchedule::UnitEventSchedule(const UnitTimelineResource* events, ParticleInstance* target,
                                     float delay)
    : events(events), target(target), elapsed(-delay), pending(events ? events->GetItemMask() : 0) {
    // Only events that exist can be pending, or the schedule would never
    // finish.
    const uint32_t count = EventCount();
    if (count < kMaxEvents)
        pending &= (1u << count) - 1u;
}

uint32_t UnitEventSchedule::EventCount() const {
    const uint32_t count = events ? events->GetItemCount() : 0;
    return count < kMaxEvents ? count : kMaxEvents;
}

bool UnitEventSchedule::Step(float dt) {
    const uint32_t count = EventCount();
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t bit = 1u << i;
        if (!(pending & bit))
            continue;
        const UnitTimelineResource::Item& entry = *events->GetItem(i);
        if (static_cast<float>(sys::LoadU16(entry.bytes)) > elapsed)
            continue;
        pending &= ~bit;
        const uint16_t kind = sys::LoadU16(entry.bytes + 2);
        const int8_t first = static_cast<int8_t>(entry.bytes[4]);
        const int8_t second = static_cast<int8_t>(entry.bytes[5]);
        if (kind < UnitCreators::kEventActions)
            UnitCreators::Current().eventActions[kind](target, entry, first, second);
        else if (kind == kStartExtraTimeline)
            target->owner->StartExtraTimeline(first + 1);
    }
    elapsed += dt;
    return pending != 0;
}

} // namespace FulgorCore
