#include "effects/units/DelayedEmitUnit.h"

#include "effects/units/EmitterUnit.h"

namespace FulgorCore {

static_assert(sizeof(DelayedEmitUnit) <= kUnitBlockSize);

namespace {

// Its own clock never ends it: the watched clock does.
UnitInstance::InitialState WaitingState(UnitInstance* watched) {
    UnitInstance::InitialState s;
    s.parent = watched;
    s.loopStart = 0.0f;
    s.loopEnd = 0.0f;
    s.speed = 1.0f;
    s.lifetime = 1.0f;
    s.timeMode = UnitInstance::kEndless;
    return s;
}

constexpr uint32_t kRotationOrder = 4;

} // namespace

DelayedEmitUnit* DelayedEmitUnit::Create(UnitInstance* watched, EmitterUnit* emitter, uint32_t item,
                                         int32_t count, float delay) {
    return UnitInstance::Create<DelayedEmitUnit>(watched, emitter, item, count, delay);
}

DelayedEmitUnit::DelayedEmitUnit(UnitInstance* watched_, EmitterUnit* emitter_, uint32_t item_,
                                 int32_t count_, float delay_)
    : UnitInstance(watched_->owner, WaitingState(watched_), kRotationOrder, 0), watched(watched_),
      emitter(emitter_), item(item_), count(count_), delay(delay_) {}

void DelayedEmitUnit::Step() {
    const float t = watched->time;
    if (delay > t) {
        // An ended particle's clock stands still: the delay would never
        // pass, and the waiting unit would keep the particle and its
        // blocks in the tree until the instance goes.
        if (!watched->alive)
            Finish();
        return;
    }
    emitter->Emit(t, t - delay, count > 0 ? static_cast<uint32_t>(count) : 0u, item, 1.0f);
    Finish();
}

} // namespace FulgorCore
