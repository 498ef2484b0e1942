#include "effects/drawunits/TrailDrawUnitBase.h"

#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Math/FastRoot.h"
#include "effects/Core/Math/Matrix.h"
#include "effects/Core/Memory/FrameWorkMemory.h"
#include "effects/Core/Noise/CumulativeWeights.h"
#include "effects/Core/Resource/DrawDataType12.h"
#include "effects/Core/Resource/ParticleResource.h"
#include "effects/drawunits/DrawUnitOwner.h"
#include "effects/drawunits/DrawUnitRecords.h"
#include "effects/drawunits/RandomOffset.h"
#include "effects/drawunits/TrailStartValues.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/ParticleInstance.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace FulgorCore {

namespace {

constexpr uint32_t kVectorBytes = 12;
constexpr uint32_t kPointBytes = sizeof(TrailHistoryPoint);
constexpr uint32_t kDistanceBytes = 4;

float Distance(const float* a, const float* b) {
    const float d[3] = {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
    return Math::ApproxSqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
}

void Blend(float* out, const float* a, const float* b, float f) {
    for (int c = 0; c < 3; ++c)
        out[c] = a[c] + (b[c] - a[c]) * f;
}

// Carves one frame-memory block into arrays in the order they are taken.
struct Carver {
    uint8_t* at;
    template <class T> T* Take(uint32_t bytes) {
        T* p = reinterpret_cast<T*>(at);
        at += bytes;
        return p;
    }
};

} // namespace

TrailDrawUnitBase::Values TrailDrawUnitBase::ReadValues(const ParticleResource& data) {
    Values v;
    const DrawDataType12* trail = data.GetDrawDataType12();
    if (!trail)
        return v;
    v.subKind = trail->GetField(DrawDataType12::kTDT);
    v.pointCount = trail->GetField(DrawDataType12::kPtCn);
    const auto interval = static_cast<float>(trail->GetField(DrawDataType12::kPtIv));
    v.interval = interval > 0.0f ? interval : 1.0f;
    v.localSpace = trail->GetField(DrawDataType12::kLHE) != 0;
    return v;
}

TrailDrawUnitBase::TrailDrawUnitBase(ParticleInstance* owner, const ParticleResource* data,
                                     const Values& values, uint32_t axisArraysIn, uint32_t leadIn)
    : DrawUnit(owner, data), command(this), ops(values.ops), subKind(values.subKind),
      interval(values.interval >= 1.0f ? values.interval : 1.0f), historyLength(values.pointCount),
      localSpace(values.localSpace ? 1 : 0), axisArrays(static_cast<uint8_t>(axisArraysIn)),
      lead(static_cast<uint8_t>(leadIn)) {
    static constexpr DrawUnitOps::Generate kFirstFrame[3] = {
        InitPointHistory<0>, InitPointHistory<1>, InitPointHistory<2>};
    ops.generate = kFirstFrame[axisArrays < 3 ? axisArrays : 0];
    if (!renderBlock)
        return;
    record = static_cast<TrailFrameRecord*>(TakeBlock());
    if (!record)
        return;
    new (record) TrailFrameRecord{};
    if (!TakeHistory())
        ownerUnit->Finish();
}

TrailDrawUnitBase::TrailDrawUnitBase(ParticleInstance* owner, const ParticleResource* data,
                                     const MemberTable& members, uint32_t axisArraysIn,
                                     uint32_t leadIn)
    : TrailDrawUnitBase(owner, data, ReadValues(*data), axisArraysIn, leadIn) {
    // Without the record or the first history the owner has ended.
    if (!record || !history)
        return;
    if (lead)
        ParticleKernel::SampleTrailStartValues<1>(this, record->startValues);
    else
        ParticleKernel::SampleTrailStartValues<0>(this, record->startValues);
    const DrawDataType12* trail = data->GetDrawDataType12();
    const uint32_t midKey = trail ? trail->GetField(DrawDataType12::kCPE) : 0u;
    const uint32_t centreLine = trail ? trail->GetField(DrawDataType12::kECE) : 0u;
    const MemberTable::Set& chosen = members.sets[midKey * 2 + centreLine];
    ops.build = chosen.build;
    ops.submit = chosen.submit;
    ops.write = chosen.write;
}

TrailDrawUnitBase::~TrailDrawUnitBase() {
    GiveBack(record);
}

void TrailDrawUnitBase::Draw() {
    if (renderBlock && record && historyLength >= 2)
        ops.submit(this);
}

template <uint32_t A, uint32_t N> void TrailDrawUnitBase::UpdateTrail(const DrawClock& clock) {
    if (!renderBlock || !record)
        return;
    float transforms[TransformRoom<N>::kFloats];
    EvaluateRenderRecord<N>(transforms, parameters, clock);
    if (!history)
        return;
    float headFraction = 0.0f;
    float* distances = ops.generate(this, clock, &headFraction);
    if (!distances) {
        ownerUnit->Finish();
        return;
    }
    const float* m = ownerUnit->GetWorldMatrix();
    const float widthScale = A == 0 ? DrawUnitOwner::PlaneScale(ownerUnit) : 1.0f;
    if (historyLength != 0) {
        if constexpr (A == 1) {
            std::memcpy(recordedAxes[0], m + 3 * std::min(subKind - 1u, 2u), kVectorBytes);
        } else if constexpr (A == 2) {
            std::memcpy(recordedAxes[0], m, kVectorBytes);
            std::memcpy(recordedAxes[1], m + 3, kVectorBytes);
        }
    }
    // Fewer than 2 points have no segment to lay points along; their widths
    // and colours are evaluated all the same, since the curves among them
    // draw from the random state the particle's later units draw from.
    if (historyLength >= 2) {
        float* const axesOut[2] = {record->firstAxes, record->secondAxes};
        ResampleHistory<A>(record->positions, axesOut, distances, history, recordedAxes,
                           historyLength, headFraction);
    }
    ops.build(this, clock, transforms, widthScale);
}

bool TrailDrawUnitBase::TakeHistory() {
    const uint32_t n = historyLength;
    FrameWorkMemory& memory = Engine::GetFrameWorkMemory();
    void* block = memory.Allocate(n * (kPointBytes + axisArrays * kVectorBytes));
    if (!block)
        return false;
    Carver carve{static_cast<uint8_t*>(block)};
    history = carve.Take<TrailHistoryPoint>(n * kPointBytes);
    for (uint32_t a = 0; a < axisArrays; ++a)
        recordedAxes[a] = carve.Take<float>(n * kVectorBytes);
    historyFrame = memory.GetFrame();
    return true;
}

void TrailDrawUnitBase::LocalPosition(const float* world, float* out) const {
    if (localSpace && referenceUnit)
        Math::TransformPoint34(out, world, referenceUnit->GetInverseWorldMatrix());
    else
        std::memcpy(out, world, 3 * sizeof(float));
}

void TrailDrawUnitBase::ToWorld(float* positions) const {
    if (!localSpace || !referenceUnit)
        return;
    const float* m = referenceUnit->GetWorldMatrix();
    for (uint32_t i = 0; i < historyLength; ++i)
        Math::TransformPoint34(positions + 3 * i, positions + 3 * i, m);
}

template <uint32_t A>
float* TrailDrawUnitBase::InitPointHistory(DrawUnit* unit, const DrawClock&, float* headFraction) {
    auto* t = static_cast<TrailDrawUnitBase*>(unit);
    // Built in an earlier frame (one its instance went unevaluated in),
    // the trail holds a history frame memory keeps only through this
    // frame, while the next update still copies from it.
    FrameWorkMemory& memory = Engine::GetFrameWorkMemory();
    if (t->historyFrame != memory.GetFrame() && !t->TakeHistory())
        return nullptr;
    t->ops.generate = UpdatePointHistory<A>;
    *headFraction = 0.0f;
    const float* m = t->ownerUnit->GetWorldMatrix();
    if (t->localSpace)
        t->referenceUnit = DrawUnitOwner::ReferenceUnit(t->ownerUnit);
    float p[3];
    t->LocalPosition(m + 9, p);
    const uint32_t n = t->historyLength;
    for (uint32_t i = 0; i < n; ++i)
        t->history[i] = {{p[0], p[1], p[2]}, 0.0f};
    // The axis trail records row (sub-kind - 1), the cross trail rows 0
    // and 1.
    const uint32_t rows[2] = {A == 1 ? std::min(t->subKind - 1u, 2u) : 0u, 1u};
    for (uint32_t a = 0; a < A; ++a)
        for (uint32_t i = 0; i < n; ++i)
            std::memcpy(t->recordedAxes[a] + 3 * i, m + 3 * rows[a], kVectorBytes);
    void* block = memory.Allocate(n * (A * kVectorBytes + kVectorBytes + kDistanceBytes));
    if (!block)
        return nullptr;
    Carver carve{static_cast<uint8_t*>(block)};
    float* axes[2] = {};
    for (uint32_t a = 0; a < A; ++a)
        axes[a] = carve.Take<float>(n * kVectorBytes);
    t->record->firstAxes = axes[0];
    t->record->secondAxes = axes[1];
    t->record->positions = carve.Take<float>(n * kVectorBytes);
    return carve.Take<float>(n * kDistanceBytes);
}

template <uint32_t A>
float* TrailDrawUnitBase::UpdatePointHistory(DrawUnit* unit, const DrawClock& clock,
                                             float* headFraction) {
    auto* t = static_cast<TrailDrawUnitBase*>(unit);
    // A frame went by without this update (its instance was not
    // evaluated): the history's block may be handed out again, so the
    // trail starts over where its owner is.
    FrameWorkMemory& memory = Engine::GetFrameWorkMemory();
    if (!memory.Keeps(t->historyFrame))
        return InitPointHistory<A>(unit, clock, headFraction);
    const DrawDataType12* trail = unit->unitData->GetDrawDataType12();
    const float jitter =
        trail ? trail->GetFloat(DrawDataType12::kDist)
                    .Evaluate(clock, t->record->startValues[t->lead], *unit->randomState)
              : 0.0f;
    // The decision uses the time gathered up to the last frame, and at most
    // one shift happens however many intervals passed.
    const bool advance = t->accumulator >= t->interval;
    if (advance) {
        // Far past the interval one remainder stands for a long run of
        // subtractions (and a step too large to subtract from).
        if (t->accumulator >= 2.0f * t->interval)
            t->accumulator = std::fmod(t->accumulator, t->interval);
        while (t->accumulator >= t->interval)
            t->accumulator -= t->interval;
    }
    *headFraction = t->accumulator / t->interval;
    t->accumulator += clock.lastStep;

    const uint32_t n = t->historyLength;
    void* block =
        memory.Allocate(n * (2 * A * kVectorBytes + kPointBytes + kVectorBytes + kDistanceBytes));
    if (!block)
        return nullptr;
    Carver carve{static_cast<uint8_t*>(block)};
    float* newAxes[2] = {};
    float* outAxes[2] = {};
    for (uint32_t a = 0; a < A; ++a)
        newAxes[a] = carve.Take<float>(n * kVectorBytes);
    for (uint32_t a = 0; a < A; ++a)
        outAxes[a] = carve.Take<float>(n * kVectorBytes);
    TrailHistoryPoint* points = carve.Take<TrailHistoryPoint>(n * kPointBytes);
    t->record->firstAxes = outAxes[0];
    t->record->secondAxes = outAxes[1];
    t->record->positions = carve.Take<float>(n * kVectorBytes);
    float* distances = carve.Take<float>(n * kDistanceBytes);

    // Without a point the jitter is still evaluated and nothing is placed;
    // a single point has no older one to measure to.
    if (n != 0) {
        if (t->root->paused) {
            // Frozen: copied as they are, point 0 no longer follows the owner.
            for (uint32_t a = 0; a < A; ++a)
                std::memcpy(newAxes[a], t->recordedAxes[a], n * kVectorBytes);
            std::memcpy(points, t->history, n * kPointBytes);
        } else {
            const uint32_t shift = advance ? 1u : 0u;
            for (uint32_t a = 0; a < A; ++a)
                std::memcpy(newAxes[a] + 3, t->recordedAxes[a] + 3 * (1 - shift),
                            (n - 1) * kVectorBytes);
            std::memcpy(points + 1, t->history + (1 - shift), (n - 1) * kPointBytes);
            t->LocalPosition(DrawUnitOwner::Position(t->ownerUnit), points[0].position);
            if (jitter != 0.0f)
                AddRandomOffset(points[0].position, jitter, *unit->randomState);
        }
        points[0].segmentLength = n >= 2 ? Distance(points[0].position, points[1].position) : 0.0f;
    }
    t->history = points;
    for (uint32_t a = 0; a < A; ++a)
        t->recordedAxes[a] = newAxes[a];
    t->historyFrame = memory.GetFrame();
    return distances;
}

template <uint32_t A>
float TrailDrawUnitBase::ResampleHistory(float* positions, float* const* axesOut, float* distances,
                                         const TrailHistoryPoint* points, const float* const* axes,
                                         uint32_t n, float headFraction) const {
    const float* raw = &points[0].position[0];
    uint32_t first = 0;
    float usable = 0.0f;
    if constexpr (A == 0) {
        const WeightedSpan span = BuildCumulativeWeights(distances, raw, n, headFraction);
        first = span.start;
        usable = span.total;
    } else if constexpr (A == 1) {
        const float* const in[1] = {axes[0]};
        const WeightedSpanWith<1> span =
            BuildCumulativeWeights<1>(distances, raw, in, n, headFraction);
        first = static_cast<uint32_t>((span.points - raw) / 4);
        usable = span.total;
    } else {
        const float* const in[2] = {axes[0], axes[1]};
        const WeightedSpanWith<2> span =
            BuildCumulativeWeights<2>(distances, raw, in, n, headFraction);
        first = static_cast<uint32_t>((span.points - raw) / 4);
        usable = span.total;
    }
    const float step = usable / static_cast<float>(n - 1);
    uint32_t j = first;
    for (uint32_t i = 0; i < n; ++i) {
        const float s = static_cast<float>(i) * step;
        while (j + 2 < n && s > distances[j + 1])
            ++j;
        // A span of length 0 (the first frame, a standing owner) blends
        // nothing in rather than dividing 0 by 0.
        const float span = distances[j + 1] - distances[j];
        const float f = span != 0.0f ? (s - distances[j]) / span : 0.0f;
        Blend(positions + 3 * i, points[j].position, points[j + 1].position, f);
        for (uint32_t a = 0; a < A; ++a)
            Blend(axesOut[a] + 3 * i, axes[a] + 3 * j, axes[a] + 3 * (j + 1), f);
    }
    ToWorld(positions);
    return usable;
}

#define FULGOR_TRAIL_HISTORY(A)                                                                    \
    template float* TrailDrawUnitBase::InitPointHistory<A>(DrawUnit*, const DrawClock&, float*);   \
    template float* TrailDrawUnitBase::UpdatePointHistory<A>(DrawUnit*, const DrawClock&, float*); \
    template float TrailDrawUnitBase::ResampleHistory<A>(                                          \
        float*, float* const*, float*, const TrailHistoryPoint*, const float* const*, uint32_t,    \
        float) const;                                                                              \
    template void TrailDrawUnitBase::UpdateTrail<A, 0>(const DrawClock&);                          \
    template void TrailDrawUnitBase::UpdateTrail<A, 1>(const DrawClock&);                          \
    template void TrailDrawUnitBase::UpdateTrail<A, 2>(const DrawClock&);                          \
    template void TrailDrawUnitBase::UpdateTrail<A, 3>(const DrawClock&);                          \
    template void TrailDrawUnitBase::UpdateTrail<A, 4>(const DrawClock&);                          \
    template void TrailDrawUnitBase::UpdateTrail<A, 5>(const DrawClock&);                          \
    template void TrailDrawUnitBase::UpdateTrail<A, 6>(const DrawClock&);
FULGOR_TRAIL_HISTORY(0)
FULGOR_TRAIL_HISTORY(1)
FULGOR_TRAIL_HISTORY(2)
#undef FULGOR_TRAIL_HISTORY

} // namespace FulgorCore
