#include "effects/drawunits/StripDrawUnitBase.h"

#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Math/FastRoot.h"
#include "effects/Core/Memory/FrameWorkMemory.h"
#include "effects/Core/Resource/DrawDataType6.h"
#include "effects/Core/Resource/ParticleResource.h"
#include "effects/drawunits/DrawRenderer.h"
#include "effects/drawunits/DrawUnitOwner.h"
#include "effects/drawunits/PointHistoryEntry.h"
#include "effects/drawunits/RandomOffset.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/ParticleInstance.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <new>

namespace FulgorCore {

namespace {

constexpr uint32_t kPointBytes = 12;

float Evaluate(const DrawUnit& unit, DrawDataType6::Float property, float sample,
               const DrawClock& clock) {
    const DrawDataType6* strip = unit.unitData->GetDrawDataType6();
    return strip ? strip->GetFloat(property).Evaluate(clock, sample, *unit.randomState) : 0.0f;
}

} // namespace

StripDrawUnitBase::StripDrawUnitBase(ParticleInstance* owner, const ParticleResource* data,
                                     const Values& values)
    : DrawUnit(owner, data), jitterSample(values.jitterSample), lengthSample(values.lengthSample),
      lagSample(values.lagSample), verticesPerPoint(values.verticesPerPoint),
      vertexStride(values.vertexStride), pointCount(values.pointCount), spacing(values.spacing),
      travelled(values.spacing) {
    history.pointSource = values.pointSource;
    if (!renderBlock)
        return;
    record = static_cast<StripFrameRecord*>(TakeBlock());
    if (!record)
        return;
    new (record) StripFrameRecord{};
    record->ops = values.ops;
    record->pointSource = values.pointSource;
    switch (values.pointSource) {
    case kGeneratedLine:
        record->ops.generate = GenerateLinePoints;
        points = TakeLine();
        break;
    case kHistory:
        record->ops.generate = InitPointHistory;
        history.current = static_cast<StripHistoryBlock*>(TakeBlock());
        if (history.current) {
            history.current->count = 0;
            history.current->older = nullptr;
        }
        break;
    default:
        // Point lists are built with the frame geometry.
        record->ops.generate = DrawUnitOps::GenerateNothing;
        break;
    }
}

StripDrawUnitBase::StripDrawUnitBase(ParticleInstance* owner, const ParticleResource* data,
                                     const MemberTable& members)
    : DrawUnit(owner, data), jitterSample(0.0f), lengthSample(0.0f), lagSample(0.0f),
      verticesPerPoint(2), vertexStride(members.vertexStride), pointCount(0), spacing(0.0f),
      travelled(0.0f) {
    // The record first; its members stay the no-ops until a source is set
    // up, so nothing unset ever runs.
    record = static_cast<StripFrameRecord*>(TakeBlock());
    const DrawDataType6* strip = data->GetDrawDataType6();
    if (!record)
        return;
    new (record) StripFrameRecord{};
    if (!strip) {
        ownerUnit->Finish();
        return;
    }
    // Every start value, in the data's order, whatever the source uses:
    // each may advance the instance's random state.
    Xorshift128& random = *randomState;
    const auto sample = [&](DrawDataType6::Float f) {
        return strip->GetFloat(f).SampleRandom(random);
    };
    jitterSample = sample(DrawDataType6::kDist);
    lengthSample = sample(DrawDataType6::kLen);
    lagSample = sample(DrawDataType6::kSoft);
    widthScaleSample = sample(DrawDataType6::kWid);
    headWidthSample = sample(DrawDataType6::kWidH);
    middleWidthSample = sample(DrawDataType6::kWidC);
    tailWidthSample = sample(DrawDataType6::kWidT);
    for (uint32_t c = DrawDataType6::kColH; c <= DrawDataType6::kCoET; ++c)
        strip->GetColor(static_cast<DrawDataType6::Color>(c)).SampleRandom(random, colorSamples[c]);

    const uint32_t midKey = strip->GetFieldB(DrawDataType6::kCPE);
    const uint32_t centreLine = strip->GetFieldB(DrawDataType6::kECE);
    const uint32_t source = strip->GetFieldA(DrawDataType6::kType);
    record->pointSource = history.pointSource = source;
    verticesPerPoint = centreLine ? 3 : 2;
    MemberTable::Pair chosen;
    switch (source) {
    case kGeneratedLine:
        pointCount = strip->GetFieldB(DrawDataType6::kPtCn);
        record->ops.generate = GenerateLinePoints;
        points = TakeLine();
        if (!points)
            return;
        chosen = members.generatedLine[midKey * 2 + centreLine];
        break;
    case kDataPoints:
        stripPointCount = strip->GetPointCount();
        if (stripPointCount == 0) {
            ownerUnit->Finish();
            return;
        }
        chosen = members.dataPoints[centreLine];
        break;
    case kOwnerChain: {
        // The owner and the units above it, up to the root or the data's
        // limit.
        stripPointCount = 1;
        uint32_t limit = strip->GetFieldA(DrawDataType6::kPUC);
        for (const UnitInstance* u = ownerUnit;
             u && u->GetKind() != UnitInstance::kRoot && limit > 0; u = u->parent, --limit)
            ++stripPointCount;
        chosen = members.ownerChain[centreLine];
        break;
    }
    case kHistory: {
        history.current = static_cast<StripHistoryBlock*>(TakeBlock());
        if (!history.current)
            return;
        history.current->count = 0;
        history.current->older = nullptr;
        spacing = travelled = std::bit_cast<float>(strip->GetCrIv());
        record->ops.generate = InitPointHistory;
        chosen = members.history[centreLine];
        break;
    }
    default:
        // A source the data cannot mean: the particle ends.
        ownerUnit->Finish();
        return;
    }
    record->ops.build = chosen.build;
    record->ops.submit = chosen.submit;
}

uint32_t StripDrawUnitBase::DrawablePoints() const {
    const DrawRenderer::BufferSizes sizes = DrawRenderer::Current().bufferSizes();
    if (sizes.vertex == 0 || sizes.index == 0)
        return UINT32_MAX;
    const uint32_t byVertices = sizes.vertex / (verticesPerPoint * vertexStride);
    const uint32_t byIndices = sizes.index / (2 * 6 * (verticesPerPoint - 1)) + 1;
    return byVertices < byIndices ? byVertices : byIndices;
}

StripDrawUnitBase::~StripDrawUnitBase() {
    history.Release();
    GiveBack(record);
}

void StripDrawUnitBase::Step() {
    if (record)
        history.ChainHistoryBlock(ownerUnit, record->ops, segmentCount, DrawablePoints());
}

void StripDrawUnitBase::Draw() {
    if (renderBlock && record)
        record->ops.submit(this);
}

void StripDrawUnitBase::ComputeLine(float* out, const DrawClock& clock) {
    float axis[3];
    DrawUnitOwner::Axis(ownerUnit, axis);
    const float* p = DrawUnitOwner::Position(ownerUnit);
    const float length = Evaluate(*this, DrawDataType6::kLen, lengthSample, clock);
    // The step once, then added point by point; one point has no step.
    const float step = pointCount > 1 ? length / static_cast<float>(pointCount - 1) : 0.0f;
    float t = 0.0f;
    for (uint32_t i = 0; i < pointCount; ++i, t += step)
        for (uint32_t c = 0; c < 3; ++c)
            out[i * 3 + c] = p[c] + axis[c] * t;
    const float jitter = Evaluate(*this, DrawDataType6::kDist, jitterSample, clock);
    if (jitter != 0.0f && pointCount >= 3)
        for (uint32_t i = 1; i + 1 < pointCount; ++i)
            AddRandomOffset(out + i * 3, jitter, *randomState);
}

float* StripDrawUnitBase::TakeLine() {
    FrameWorkMemory& memory = Engine::GetFrameWorkMemory();
    auto* line = static_cast<float*>(memory.Allocate(pointCount * kPointBytes));
    if (!line) {
        ownerUnit->Finish();
        return nullptr;
    }
    pointsFrame = memory.GetFrame();
    return line;
}

float* StripDrawUnitBase::GenerateLinePoints(DrawUnit* unit, const DrawClock& clock, float*) {
    auto* self = static_cast<StripDrawUnitBase*>(unit);
    // Built in an earlier frame (one its instance went unevaluated in),
    // the strip holds a line frame memory keeps at most through this
    // frame, while the next update still drags or copies from it.
    if (self->points && self->pointsFrame != Engine::GetFrameWorkMemory().GetFrame()) {
        float* line = self->TakeLine();
        if (!line)
            return nullptr;
        self->points = line;
    }
    if (self->points)
        self->ComputeLine(self->points, clock);
    const DrawDataType6* strip = unit->unitData->GetDrawDataType6();
    const bool noLag = !strip || strip->GetFloat(DrawDataType6::kSoft).IsZero();
    self->record->ops.generate = noLag ? UpdateLinePoints : UpdateLinePointsWithLag;
    return nullptr;
}

// A fresh array for this frame's line, the last one copied into it while
// the instance is paused; null (the owner stopped) without frame memory.
float* StripDrawUnitBase::RenewLine(const DrawClock& clock) {
    // A frame went by without this update (its instance was not
    // evaluated): the last line's block may be handed out again, so the
    // line starts over where its owner is, as on its first frame, paused
    // or not and with nothing to drag toward.
    if (!Engine::GetFrameWorkMemory().Keeps(pointsFrame))
        points = nullptr;
    float* fresh = TakeLine();
    if (!fresh)
        return nullptr;
    if (root->paused && points) {
        std::memcpy(fresh, points, size_t{pointCount} * kPointBytes);
        points = fresh;
        return nullptr;
    }
    ComputeLine(fresh, clock);
    return fresh;
}

float* StripDrawUnitBase::UpdateLinePoints(DrawUnit* unit, const DrawClock& clock, float*) {
    auto* self = static_cast<StripDrawUnitBase*>(unit);
    if (float* fresh = self->RenewLine(clock))
        self->points = fresh;
    return nullptr;
}

float* StripDrawUnitBase::UpdateLinePointsWithLag(DrawUnit* unit, const DrawClock& clock, float*) {
    auto* self = static_cast<StripDrawUnitBase*>(unit);
    float* fresh = self->RenewLine(clock);
    if (!fresh)
        return nullptr;
    const uint32_t n = self->pointCount;
    const float lag = Evaluate(*self, DrawDataType6::kSoft, self->lagSample, clock);
    if (lag != 0.0f && n > 1 && self->points) {
        // The first point follows the owner; the drag grows by lag / (n - 1)
        // a point toward the end.
        const float perPoint = lag / static_cast<float>(n - 1);
        for (uint32_t i = 1; i < n; ++i) {
            const float f = static_cast<float>(i - 1) * perPoint;
            for (uint32_t c = 0; c < 3; ++c) {
                float& v = fresh[i * 3 + c];
                v += (self->points[i * 3 + c] - v) * f;
            }
        }
    }
    self->points = fresh;
    return nullptr;
}

float* StripDrawUnitBase::InitPointHistory(DrawUnit* unit, const DrawClock& clock,
                                           float* headFraction) {
    auto* self = static_cast<StripDrawUnitBase*>(unit);
    PointHistoryEntry* node = self->history.TakeNode();
    if (!node)
        return nullptr;
    const float* p = DrawUnitOwner::Position(self->ownerUnit);
    *node = {};
    std::memcpy(node->position, p, sizeof(node->position));
    self->firstNode = self->newestNode = node;
    UpdatePointHistory(unit, clock, headFraction);
    self->record->ops.generate = UpdatePointHistory;
    return nullptr;
}

float* StripDrawUnitBase::UpdatePointHistory(DrawUnit* unit, const DrawClock& clock, float*) {
    auto* self = static_cast<StripDrawUnitBase*>(unit);
    PointHistoryEntry* newest = self->newestNode;
    if (!newest)
        return nullptr;
    const float* p = DrawUnitOwner::Position(self->ownerUnit);
    const float d[3] = {newest->position[0] - p[0], newest->position[1] - p[1],
                        newest->position[2] - p[2]};
    const float length = Math::ApproxSqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    self->travelled += length;
    if (self->travelled >= self->spacing) {
        // The owner has travelled a spacing: the newest node stays behind
        // and a new one rides on. At most one a frame however far it went.
        if (PointHistoryEntry* e = self->history.TakeNode()) {
            self->travelled = 0.0f;
            self->baseDistance = newest->distance;
            e->link = newest;
            e->next = nullptr;
            std::memcpy(newest->axis, d, sizeof(d));
            newest->next = e;
            self->newestNode = newest = e;
            ++self->segmentCount;
        }
    }
    std::memcpy(newest->position, p, sizeof(newest->position));
    std::memcpy(newest->axis, d, sizeof(d));
    newest->distance = self->baseDistance + length;
    const float jitter = Evaluate(*self, DrawDataType6::kDist, self->jitterSample, clock);
    if (jitter != 0.0f)
        AddRandomOffset(newest->position, jitter, *self->randomState);
    if (PointHistoryEntry* q = newest->link) {
        if (const PointHistoryEntry* o = q->link)
            for (uint32_t c = 0; c < 3; ++c)
                q->axis[c] = o->position[c] - p[c];
        else
            std::memcpy(q->axis, d, sizeof(d));
    }
    return nullptr;
}

} // namespace FulgorCore
