#include "effects/units/EmitterUnit.h"

#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Math/FastRoot.h"
#include "effects/Core/Noise/Xorshift128.h"
#include "effects/Core/Resource/EmitterResource.h"
#include "effects/Core/Resource/EmitterSpawnEntry.h"
#include "effects/Core/Resource/EmitterTimedEntry.h"
#include "effects/Core/Resource/ModelResource.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/Core/Resource/UnitResource.h"
#include "effects/units/EmitterTransformUnit.h"
#include "effects/units/InstanceRootUnit.h"

#include <bit>
#include <cmath>

namespace FulgorCore {

namespace {

// Blocks the emitter takes besides its own.
template <class T> T* TakeBlock() {
    void* block = Engine::GetUnitInstancePool().Allocate();
    return block ? new (block) T() : nullptr;
}

void GiveBack(void* block) {
    if (block)
        Engine::GetUnitInstancePool().Free(block);
}

} // namespace

EmitterUnit::EmitterUnit(UnitInstance* owner_, const EmitterResource* data_)
    : owner(owner_), data(data_), random(&owner_->owner->random) {
    // The blocks hold 32 items and 32 timers; the 7-bit counts may say more.
    itemCount = data->GetSpawnEntryCount() < kMaxItems ? data->GetSpawnEntryCount() : kMaxItems;
    timerCount = data->GetTimedEntryCount() < kMaxTimers ? data->GetTimedEntryCount() : kMaxTimers;
    timerBlockCount = (timerCount + EmitterTimerBlock::kTimers - 1) / EmitterTimerBlock::kTimers;

    itemState = TakeBlock<EmitterItemState>();
    if (!itemState) {
        Refuse();
        return;
    }
    for (uint32_t i = 0; i < itemCount; ++i) {
        itemState->items[i].counter = static_cast<uint16_t>(data->GetSpawnEntry(i)->GetVNOf());
        for (float& r : itemState->items[i].rotation)
            r = 0.0f;
    }
    for (uint32_t b = 0; b < timerBlockCount; ++b) {
        timerBlocks[b] = TakeBlock<EmitterTimerBlock>();
        if (!timerBlocks[b]) {
            Refuse();
            return;
        }
    }
    data->GetLRot().SampleRandom(*random, shape.rotationSamples);
    data->GetIAAg().SampleRandom(*random, shape.axisSamples);

    const float* position = OwnerPosition();
    for (uint32_t i = 0; i < timerCount; ++i) {
        EmissionTimer& t = *GetTimer(i);
        const EmitterTimedEntry* timing = data->GetTimedEntry(i);
        const uint32_t item = static_cast<uint16_t>(timing->GetTgtI());
        t.emitter = this;
        t.timing = timing;
        t.item = item;
        t.spawn = item < itemCount ? data->GetSpawnEntry(item) : nullptr;
        t.hasInterval = timing->GetGnIv() > 0.0f ? 1 : 0;
        t.next = timing->GetStartFrame();
        const float spacing = std::bit_cast<float>(timing->GetGnDI());
        t.byDistance =
            t.spawn && t.spawn->GetField(EmitterSpawnEntry::kApCd) == 0 && spacing > 0.0f ? 1 : 0;
        t.spacing = t.byDistance ? spacing : 0.0f;
        t.spacingSquared = t.spacing * t.spacing;
        for (int c = 0; c < 3; ++c)
            t.lastPoint[c] = position[c];
    }
    if (data->HasParentLinks())
        AttachUnits();
}

void EmitterUnit::AttachUnits() {
    const PackageResource* package = owner->owner->package;
    for (uint32_t i = 0; i < kAttached; ++i) {
        const int32_t link = data->GetParentLink(i);
        const UnitResource* unit =
            link >= 0 && package ? package->GetUnit(static_cast<uint32_t>(link)) : nullptr;
        if (!unit)
            continue;
        // Without a block the pointer stays null.
        attached[i] = UnitInstance::Create<EmitterTransformUnit>(
            owner->owner, EmitterTransformUnit::kDefaultStart, unit);
    }
    attachedUpdater = UpdateAttachedTransforms;
}

EmitterUnit::~EmitterUnit() {
    for (EmitterTransformUnit*& unit : attached) {
        delete unit;
        unit = nullptr;
    }
    for (EmitterTimerBlock*& block : timerBlocks) {
        GiveBack(block);
        block = nullptr;
    }
    GiveBack(itemState);
    itemState = nullptr;
}

void EmitterUnit::Refuse() {
    ok = false;
    owner->Finish();
}

EmissionTimer* EmitterUnit::GetTimer(uint32_t i) const {
    EmitterTimerBlock* block =
        i < timerCount ? timerBlocks[i / EmitterTimerBlock::kTimers] : nullptr;
    return block ? &block->timers[i % EmitterTimerBlock::kTimers] : nullptr;
}

EvaluationContext EmitterUnit::ContextAt(float time) const {
    return {time, owner->totalTime};
}

const float* EmitterUnit::OwnerPosition() const {
    return owner->GetWorldMatrix() + 9;
}

void EmitterUnit::RotateToWorld(float* out, const float* v) const {
    const float* r = shape.rotation;
    const float* w = owner->GetWorldMatrix();
    float e[3];
    for (int c = 0; c < 3; ++c)
        e[c] = v[0] * r[c] + v[1] * r[3 + c] + v[2] * r[6 + c];
    for (int c = 0; c < 3; ++c)
        out[c] = e[0] * w[c] + e[1] * w[3 + c] + e[2] * w[6 + c];
}

void EmitterUnit::PlaceInWorld(float* out, const float* local) const {
    RotateToWorld(out, local);
    const float* t = OwnerPosition();
    for (int c = 0; c < 3; ++c)
        out[c] += t[c];
}

void EmitterUnit::Update() {
    if (!ok)
        return;
    attachedUpdater(this, owner->lastStep);
    UpdateShape(owner->time);
    DispatchTimedEvents();
}

void EmitterUnit::DispatchTimedEvents() {
    const float now = owner->time;
    for (uint32_t i = 0; i < timerCount; ++i) {
        EmissionTimer& t = *GetTimer(i);
        if (!t.spawn)
            continue;
        const float end = t.timing->GetEndFrame();
        if (end > 0.0f && now > end)
            continue;
        const uint32_t count = static_cast<uint16_t>(t.timing->GetGnCn());
        const float scale = std::bit_cast<float>(t.timing->GetVlSc());
        if (t.hasInterval) {
            const float interval = t.timing->GetGnIv();
            uint32_t emitted = 0;
            while (t.next <= now) {
                if (emitted == kMaxIntervalEmissions) {
                    // A start far in the past: skip to the first due time
                    // after now rather than stall the frame.
                    t.next += (std::floor((now - t.next) / interval) + 1.0f) * interval;
                    break;
                }
                Emit(now, now - t.next, count, t.item, scale);
                ++emitted;
                const float previous = t.next;
                t.next += interval;
                if (!(t.next > previous))
                    break; // the step is lost in the float's precision
            }
        }
        if (t.byDistance)
            EmitByDistance(t);
    }
}

void EmitterUnit::EmitByDistance(EmissionTimer& t) {
    const float* p = OwnerPosition();
    const float d[3] = {p[0] - t.lastPoint[0], p[1] - t.lastPoint[1], p[2] - t.lastPoint[2]};
    const float d2 = d[0] * d[0] + d[1] * d[1] + d[2] * d[2];
    if (!(d2 >= t.spacingSquared))
        return;
    const float length = Math::ApproxSqrt(d2);
    const uint32_t count = static_cast<uint16_t>(t.timing->GetGnCn());
    const float scale = std::bit_cast<float>(t.timing->GetVlSc());
    const float time = owner->time;
    float last[3] = {t.lastPoint[0], t.lastPoint[1], t.lastPoint[2]};
    float point[3];
    uint32_t emitted = 0;
    for (float k = t.spacing; k <= length; k += t.spacing) {
        if (emitted == kMaxDistanceEmissions) {
            for (int c = 0; c < 3; ++c)
                last[c] = p[c];
            break;
        }
        const float f = k / length;
        for (int c = 0; c < 3; ++c)
            point[c] = t.lastPoint[c] + d[c] * f;
        EmitAt(time, 0.0f, count, t.item, scale, point);
        for (int c = 0; c < 3; ++c)
            last[c] = point[c];
        ++emitted;
    }
    for (int c = 0; c < 3; ++c)
        t.lastPoint[c] = last[c];
}

void EmitterUnit::Emit(float time, float age, uint32_t count, uint32_t item, float speedScale) {
    EmitEach(time, age, count, item, speedScale, nullptr);
}

void EmitterUnit::EmitAt(float time, float age, uint32_t count, uint32_t item, float speedScale,
                         const float* point) {
    const float* o = OwnerPosition();
    const float shift[3] = {point[0] - o[0], point[1] - o[1], point[2] - o[2]};
    EmitEach(time, age, count, item, speedScale, shift);
}

void EmitterUnit::EmitEach(float time, float age, uint32_t count, uint32_t item, float speedScale,
                           const float* shift) {
    // A point kind without points has nothing to emit from.
    if (!ok || !generator || (hasPoints && pointCount == 0))
        return;
    const EvaluationContext context = ContextAt(time);
    float position[3];
    float direction[3];
    float speed = 0.0f;
    const UnitInstancePool& pool = Engine::GetUnitInstancePool();
    for (uint32_t n = 0; n < count; ++n) {
        // Without a free block none of the rest can be made: they are
        // dropped at once, their spacing kept, instead of each being tried
        // (counts of 65535 on every emitter of a full pool would take
        // seconds a frame).
        if (pool.GetUsedCount() >= pool.GetCapacity()) {
            AdvanceRotation(item, static_cast<float>(count - n));
            return;
        }
        int32_t index = picker(this, item);
        if (model)
            index = static_cast<int32_t>(model->GetPoint(static_cast<uint32_t>(index)));
        generator(this, context, index, position, direction, &speed);
        if (shift)
            for (int c = 0; c < 3; ++c)
                position[c] += shift[c];
        SpawnParticle(age, item, position, direction, speed * speedScale, index);
    }
}

void EmitterUnit::GetPointPosition(uint32_t, float* out) const {
    const float* p = OwnerPosition();
    for (int c = 0; c < 3; ++c)
        out[c] = p[c];
}

const EmitterTransformUnit* EmitterUnit::GetLinkedUnit(int32_t index) const {
    return index >= 0 && index < static_cast<int32_t>(kAttached) ? attached[index] : nullptr;
}

int32_t EmitterUnit::PickRandomIndex(EmitterUnit* e, uint32_t) {
    const uint32_t r = e->random->Next();
    if (e->segments > 0) // kind 7 reaches one number more
        return static_cast<int32_t>(r % (e->pointCount + 1)) + e->segments - 1;
    return static_cast<int32_t>(r % e->pointCount);
}

int32_t EmitterUnit::PickSequentialIndex(EmitterUnit* e, uint32_t item) {
    const EmitterSpawnEntry* spawn = e->data->GetSpawnEntry(item);
    uint32_t index;
    if (spawn && (spawn->GetFlags() & EmitterSpawnEntry::kCVN)) {
        const uint32_t c = e->sharedCounter;
        e->sharedCounter = static_cast<uint16_t>((c + 1) % e->pointCount);
        index = (spawn->GetVNOf() + c) % e->pointCount;
    } else if (item < e->itemCount) {
        uint16_t& counter = e->itemState->items[item].counter;
        const uint32_t c = counter;
        counter = static_cast<uint16_t>((c + 1) % e->pointCount);
        index = c % e->pointCount;
    } else {
        index = 0;
    }
    return static_cast<int32_t>(index) + (e->segments > 0 ? e->segments - 1 : 0);
}

void EmitterUnit::UpdateAttachedTransforms(EmitterUnit* e, float step) {
    for (EmitterTransformUnit* unit : e->attached)
        if (unit)
            unit->Advance(step);
}

} // namespace FulgorCore
