#pragma once

#include <cstdint>

namespace FulgorCore {

class EmitterTimedEntry;

// What an emitter's timed entry fires: its target is told the time, how
// late the firing is, the entry's two 16-bit values and its float.
class EmitterEventTarget {
public:
    virtual void Fire(float time, float lateness, uint16_t first, uint16_t second, float value) = 0;

protected:
    ~EmitterEventTarget() = default;
};

// One timed entry of an emitter unit, as the emitter keeps it.
struct EmitterTimedEvent {
    static constexpr uint32_t kBlockSize = 8;

    const EmitterTimedEntry* data;
    EmitterEventTarget* target;
    float nextTime;
    float interval;
    uint16_t values[2];
    float value;
    uint8_t active;
    // The entry's second flag: it runs its own per-frame update.
    uint8_t hasUpdate;
    void (*update)(EmitterTimedEvent* entry);
};

// The emitter's timed dispatch over `count` entries kept in blocks of 8:
// an entry whose data ends (end frame above 0) before the owner's time is
// skipped; an active one fires each time the owner's time reaches its next
// time, which then moves on by the interval. An interval that does not
// move the next time on (0 or less, or lost in the float's precision) fires
// once per dispatch, where the plain loop would never end. Then an entry
// with its second flag runs its own update.
void DispatchTimedEvents(EmitterTimedEvent* const* blocks, uint32_t count, float ownerTime);

} // namespace FulgorCore
