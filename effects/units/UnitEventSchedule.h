#pragma once

#include "effects/Core/Memory/UnitInstancePool.h"

#include <cstdint>

namespace FulgorCore {

class ParticleInstance;
class UnitTimelineResource;

// The timed events of one event record running for a particle: each
// pending event fires once its time has come on the schedule's own clock,
// which starts at minus the delay. Kinds 0-3 act on targets chosen around
// the particle, kind 4 starts an extra timeline of the instance (the
// event's first byte + 1), other kinds do nothing. Lives in one block of
// the unit pool; the particle queues its schedules through `next`.
class UnitEventSchedule {
public:
    // Events at index 32 and above have no pending bit and never fire.
    static constexpr uint32_t kMaxEvents = 32;
    static constexpr uint16_t kStartExtraTimeline = 4;

    // A schedule in a block of the unit pool, or null when it is exhausted.
    static UnitEventSchedule* Create(const UnitTimelineResource* events, ParticleInstance* target,
                                     float delay);
    static void operator delete(void* block);

    UnitEventSchedule(const UnitTimelineResource* events, ParticleInstance* target, float delay);
    UnitEventSchedule(const UnitEventSchedule&) = delete;
    UnitEventSchedule& operator=(const UnitEventSchedule&) = delete;
    virtual ~UnitEventSchedule() = default;

    // Fires the due events in index order, then advances the clock by dt;
    // whether any event is still pending.
    bool Step(float dt);

    const UnitTimelineResource* events;
    ParticleInstance* target;
    float elapsed;
    // Bit i set: event i pending.
    uint32_t pending;
    UnitEventSchedule* next = nullptr;

private:
    uint32_t EventCount() const;
};

static_assert(sizeof(UnitEventSchedule) <= kUnitBlockSize);

} // namespace FulgorCore
