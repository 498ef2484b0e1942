#include "effects/units/EmitterTimedEvents.h"

#include "effects/Core/Resource/EmitterTimedEntry.h"

namespace FulgorCore {

void DispatchTimedEvents(EmitterTimedEvent* const* blocks, uint32_t count, float ownerTime) {
    for (uint32_t i = 0; blocks && i < count; ++i) {
        EmitterTimedEvent& entry =
            blocks[i / EmitterTimedEvent::kBlockSize][i % EmitterTimedEvent::kBlockSize];
        const float endTime = entry.data ? entry.data->GetEndFrame() : 0.0f;
        if (endTime > 0.0f && ownerTime > endTime)
            continue;
        if (entry.active && entry.target) {
            while (ownerTime >= entry.nextTime) {
                entry.target->Fire(ownerTime, ownerTime - entry.nextTime, entry.values[0],
                                   entry.values[1], entry.value);
                const float fired = entry.nextTime;
                entry.nextTime += entry.interval;
                if (!(entry.nextTime > fired))
                    break;
            }
        }
        if (entry.hasUpdate && entry.update)
            entry.update(&entry);
    }
}

} // namespace FulgorCore
