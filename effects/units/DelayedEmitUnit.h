#pragma once

#include "effects/units/UnitInstance.h"

#include <cstdint>

namespace FulgorCore {

class EmitterUnit;

// An event emission that waits: hung under the particle whose clock it
// watches, it emits once when that clock has passed its delay and then
// ends. The delay runs on the particle's own clock, which stops when the
// particle ends: a unit still waiting then ends without emitting, so that
// both go at the next update.
class DelayedEmitUnit final : public UnitInstance {
public:
    // In a pool block; null when none is free.
    static DelayedEmitUnit* Create(UnitInstance* watched, EmitterUnit* emitter, uint32_t item,
                                   int32_t count, float delay);

    DelayedEmitUnit(UnitInstance* watched, EmitterUnit* emitter, uint32_t item, int32_t count,
                    float delay);

    // Waits, then emits with the lateness as age and ends; ends without
    // emitting once the watched particle has ended.
    void Step() override;
    uint32_t GetKind() const override { return kDelayedEmit; }

    UnitInstance* watched;
    EmitterUnit* emitter;
    uint32_t item;
    int32_t count;
    float delay;
};

} // namespace FulgorCore
