#pragma once

#include "effects/Core/Memory/UnitInstancePool.h"

#include <cstdint>

namespace FulgorCore {

class EmitterSpawnEntry;
class EmitterTimedEntry;
class EmitterUnit;

// The running state of one timing item of an emitter.
struct EmissionTimer {
    EmitterUnit* emitter;
    const EmitterTimedEntry* timing;
    // The item "TgtI" names; null when it names none, and then the timer
    // never emits.
    const EmitterSpawnEntry* spawn;
    uint32_t item;
    uint8_t hasInterval;
    uint8_t byDistance;
    float next;
    float spacingSquared;
    float spacing;
    // World space.
    float lastPoint[3];
};

// Eight to a block: three pointers, the item, two flags and six floats.
static_assert(sizeof(void*) != 8 || sizeof(EmissionTimer) == 56);

// One pool block of timers.
struct EmitterTimerBlock {
    static constexpr uint32_t kTimers = 8;
    EmissionTimer timers[kTimers];
};

static_assert(sizeof(EmitterTimerBlock) <= kUnitBlockSize);

// One pool block of per-item state: the sequence counter (starting at the
// item's "VNOf") and the rotation accumulator (radians, within -pi..pi).
struct EmitterItemState {
    static constexpr uint32_t kItems = 32;
    struct Item {
        uint16_t counter;
        float rotation[3];
    };
    Item items[kItems];
};

static_assert(sizeof(EmitterItemState) <= kUnitBlockSize);

} // namespace FulgorCore
