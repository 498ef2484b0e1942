#include "effects/drawunits/RingDrawUnit.h"

#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Resource/DrawDataType7.h"
#include "effects/Core/Resource/ParticleResource.h"
#include "effects/drawunits/DrawSubmission.h"
#include "effects/drawunits/DrawUnitOwner.h"
#include "effects/drawunits/DrawUnitRecords.h"
#include "effects/drawunits/FrameBlock.h"
#include "effects/drawunits/PackColor.h"
#include "effects/drawunits/RingFrameRecord.h"
#include "effects/render/StripTexCoords.h"
#include "effects/units/ParticleInstance.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace FulgorCore {

static_assert(sizeof(RingDrawUnit) <= kUnitBlockSize);

namespace {

// Where each start value sits in the unit: the floats in sampling order.
enum Sample : uint32_t { kHei, kHeiI, kHeiO, kWid, kWidI, kWidO, kRad };
constexpr DrawDataType7::Float kSampledFloats[7] = {
    DrawDataType7::kHei,  DrawDataType7::kHeiI, DrawDataType7::kHeiO, DrawDataType7::kWid,
    DrawDataType7::kWidI, DrawDataType7::kWidO, DrawDataType7::kRad};

} // namespace

template <uint32_t Axis>
void RingDrawUnit::TransformRingPoints(float* out, const float* points, uint32_t count,
                                       float radius, float shift, const float* m) {
    static_assert(Axis < 3);
    // The matrix in locals: the output may alias it as far as the compiler
    // knows. The shift runs along the matrix's own row of the axis, which
    // the matrix then maps once more with the circle.
    float mm[12];
    std::memcpy(mm, m, sizeof mm);
    const float* row = mm + 3 * Axis;
    const float hx = shift * row[0];
    const float hy = shift * row[1];
    const float hz = shift * row[2];
    for (uint32_t i = 0; i < count; ++i, out += 3) {
        // The tables hold (cos, sin).
        const float c = points[2 * i];
        const float s = points[2 * i + 1];
        const float a = radius * s;
        const float b = radius * c;
        float x = hx, y = hy, z = hz;
        if constexpr (Axis == 0) {
            y += a;
            z += b;
        } else if constexpr (Axis == 1) {
            x += a;
            z -= b;
        } else {
            x += a;
            y += b;
        }
        for (uint32_t k = 0; k < 3; ++k)
            out[k] = x * mm[k] + y * mm[3 + k] + z * mm[6 + k] + mm[9 + k];
    }
}

const RingDrawUnit::PointTransform RingDrawUnit::kPointTransforms[3] = {
    TransformRingPoints<0>, TransformRingPoints<1>, TransformRingPoints<2>};

RingDrawUnit::RingDrawUnit(ParticleInstance* owner, const ParticleResource* data,
                           const Values& values)
    : DrawUnit(owner, data), command(this), ops(values.ops), format(values.format),
      segmentCount(values.segmentCount) {
    if (renderBlock)
        record = static_cast<RingFrameRecord*>(TakeBlock());
    if (record)
        new (record) RingFrameRecord{};
}

RingDrawUnit::RingDrawUnit(ParticleInstance* owner, const ParticleResource* data,
                           const MemberTable& members)
    : DrawUnit(owner, data), command(this), format(members.format), segmentCount(kFewestSegments) {
    record = static_cast<RingFrameRecord*>(TakeBlock());
    const DrawDataType7* ring = data->GetDrawDataType7();
    if (!record)
        return;
    new (record) RingFrameRecord{};
    if (!ring) {
        ownerUnit->Finish();
        return;
    }
    // The build, the submit and the callback all use the held count: the
    // tables cover 3-64 segments only.
    segmentCount = std::clamp(ring->GetPointCount(), kFewestSegments, kMostSegments);
    // Every start value, in this order, whatever the variant draws: each
    // may advance the instance's random state.
    Xorshift128& random = *randomState;
    for (uint32_t i = 0; i < 7; ++i)
        floatSamples[i] = ring->GetFloat(kSampledFloats[i]).SampleRandom(random);
    for (uint32_t c = DrawDataType7::kColC; c <= DrawDataType7::kColO; ++c)
        ring->GetColor(static_cast<DrawDataType7::Color>(c)).SampleRandom(random, colorSamples[c]);
    const MemberTable::Pair& chosen = (ring->GetFlags() & 1) ? members.centreLine : members.plain;
    ops.build = chosen.build;
    ops.submit = chosen.submit;
    transformPoints = kPointTransforms[DrawUnitOwner::FacingAxis(ownerUnit)];
}

RingDrawUnit::~RingDrawUnit() {
    GiveBack(record);
}

void RingDrawUnit::Update(const DrawClock& clock) {
    if (renderBlock && record)
        ops.build(this, clock, nullptr, 1.0f);
}

void RingDrawUnit::Draw() {
    if (renderBlock && record)
        ops.submit(this);
}

template <uint32_t N, class Variant>
void RingDrawUnit::BuildFrameGeometry(DrawUnit* unit, const DrawClock& clock, const float*, float) {
    constexpr uint32_t kPerPoint = Variant::kVerticesPerPoint;
    constexpr bool kCentreLine = kPerPoint == 3;
    // Format 0 keeps the room of format 1 unwritten.
    constexpr uint32_t kWordBytes = 4 * kPerPoint * (N > 0 ? N : 1);
    auto& ring = *static_cast<RingDrawUnit*>(unit);
    const DrawDataType7* data = ring.unitData->GetDrawDataType7();
    const uint32_t n = ring.segmentCount;
    const float* table = Engine::GetCirclePointTable(n - kFewestSegments);
    if (!data || !table)
        return;
    const uint32_t p = n + 1;
    auto* block = static_cast<uint8_t*>(TakeFrameBlock(ring, p * (12 * kPerPoint + kWordBytes)));
    if (!block)
        return;
    RingFrameRecord& r = *ring.record;
    auto* inner = reinterpret_cast<float*>(block);
    float* middle = kCentreLine ? inner + 3 * p : nullptr;
    float* outer = inner + 3 * p * (kPerPoint - 1);
    auto* words = reinterpret_cast<uint16_t*>(block + 12 * kPerPoint * p);
    r.inner = inner;
    r.outer = outer;
    if constexpr (kCentreLine)
        r.middle = middle;
    r.textureWords = reinterpret_cast<const uint32_t*>(words);

    ring.EvaluateVertexParameters(ring.parameters, clock);
    float transforms[TransformRoom<N>::kFloats];
    ring.EvaluateCentredTransforms<N>(transforms, clock);
    float m[12];
    ring.EvaluateMatrix(m, clock);

    Xorshift128& random = *ring.randomState;
    float colors[3][4];
    if constexpr (kCentreLine)
        for (uint32_t c = DrawDataType7::kColC; c <= DrawDataType7::kColO; ++c)
            data->GetColor(static_cast<DrawDataType7::Color>(c))
                .Evaluate(clock, ring.colorSamples[c], random, colors[c]);
    float drawColor[4];
    ring.DrawColor(drawColor, ring.ownerColour, clock);
    if constexpr (kCentreLine) {
        // Inner, centre, outer.
        constexpr uint32_t kOrder[3] = {DrawDataType7::kColI, DrawDataType7::kColC,
                                        DrawDataType7::kColO};
        for (uint32_t k = 0; k < 3; ++k) {
            float* c = colors[kOrder[k]];
            for (uint32_t j = 0; j < 4; ++j)
                c[j] *= drawColor[j];
            PackFloat4ToU16(r.colors[k], c);
        }
    } else {
        PackFloat4ToU16(r.colors[0], drawColor);
    }

    const auto value = [&](Sample s) {
        return data->GetFloat(kSampledFloats[s]).Evaluate(clock, ring.floatSamples[s], random);
    };
    const float radius = value(kRad);
    const float height = value(kHei);
    if constexpr (kCentreLine) {
        const float innerHeight = value(kHeiI);
        const float outerHeight = value(kHeiO);
        const float width = value(kWid);
        const float innerWidth = value(kWidI);
        const float outerWidth = value(kWidO);
        ring.transformPoints(inner, table, p, radius - width * innerWidth, -(height * innerHeight),
                             m);
        ring.transformPoints(middle, table, p, radius, 0.0f, m);
        ring.transformPoints(outer, table, p, radius + width * outerWidth, height * outerHeight, m);
    } else {
        const float width = value(kWid);
        ring.transformPoints(inner, table, p, radius - width, -height, m);
        ring.transformPoints(outer, table, p, radius + width, height, m);
    }

    if constexpr (N > 0) {
        // Added point by point, so 23 steps end a little short of +0.5.
        const float step = 1.0f / static_cast<float>(n);
        float v = -0.5f;
        for (uint32_t j = 0; j < p; ++j, v += step)
            words = Renderer::WriteStripPointTexCoords<N, Variant>(words, transforms, v);
    }
}

template <uint32_t N> const RingDrawUnit::MemberTable& RingDrawUnit::Members() {
    static constexpr MemberTable kTable = {
        {BuildFrameGeometry<N, PlainLine>, SubmitRingDraw<N, PlainLine>},
        {BuildFrameGeometry<N, CentreLine>, SubmitRingDraw<N, CentreLine>},
        N,
    };
    return kTable;
}

#define FULGOR_RING_MEMBERS(N)                                                                     \
    template const RingDrawUnit::MemberTable& RingDrawUnit::Members<N>();                          \
    template void RingDrawUnit::BuildFrameGeometry<N, PlainLine>(DrawUnit*, const DrawClock&,      \
                                                                 const float*, float);             \
    template void RingDrawUnit::BuildFrameGeometry<N, CentreLine>(DrawUnit*, const DrawClock&,     \
                                                                  const float*, float);
FULGOR_RING_MEMBERS(0)
FULGOR_RING_MEMBERS(1)
FULGOR_RING_MEMBERS(2)
FULGOR_RING_MEMBERS(3)
FULGOR_RING_MEMBERS(4)
FULGOR_RING_MEMBERS(5)
FULGOR_RING_MEMBERS(6)
#undef FULGOR_RING_MEMBERS

template void RingDrawUnit::TransformRingPoints<0>(float*, const float*, uint32_t, float, float,
                                                   const float*);
template void RingDrawUnit::TransformRingPoints<1>(float*, const float*, uint32_t, float, float,
                                                   const float*);
template void RingDrawUnit::TransformRingPoints<2>(float*, const float*, uint32_t, float, float,
                                                   const float*);

} // namespace FulgorCore
