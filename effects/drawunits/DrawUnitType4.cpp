#include "effects/drawunits/DrawUnitType4.h"

#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Memory/FrameWorkMemory.h"
#include "effects/Core/Resource/DrawDataType4.h"
#include "effects/Core/Resource/ParticleResource.h"
#include "effects/Core/Unit/CopyEmissionTable.h"
#include "effects/drawunits/ColorKeys4.h"
#include "effects/drawunits/DrawRenderer.h"
#include "effects/drawunits/DrawVertices.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/ParticleInstance.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace FulgorCore {

namespace {

constexpr uint32_t kWaiting = 0;
constexpr uint32_t kLive = FieldPoint::kLive;
constexpr uint32_t kLineVerticesPerItem = 2;
constexpr uint32_t kQuadVerticesPerItem = 4;
constexpr uint32_t kQuadIndicesPerItem = 6;
constexpr uint32_t kBillboardStride = 48;
constexpr uint8_t kNoSlotCompared = 0;

// A command of the payload's items from the top of the record area, handed
// to the submit function; false when the area is full.
bool SubmitItems(DrawRenderer& renderer, DrawUnitType4* unit, const PreparedPayload& payload,
                 PreparedDrawCommand::Geometry copy) {
    void* space = renderer.allocateCommandSpace(sizeof(PreparedDrawCommand));
    if (!space)
        return false;
    auto* command = new (space) PreparedDrawCommand(unit);
    command->geometry = copy;
    command->payload = payload;
    renderer.submit(command);
    return true;
}

} // namespace

uint32_t DrawUnitType4::PointCountFor(uint32_t count, int32_t multiplier) {
    if (multiplier <= 0)
        return 0;
    const uint64_t points = uint64_t{count} * static_cast<uint32_t>(multiplier);
    return points * FieldPoint::kSize <= UINT32_MAX ? static_cast<uint32_t>(points) : 0u;
}

bool DrawUnitType4::Accepts(const ParticleResource& data) {
    const DrawDataType4* header = data.GetDrawDataType4();
    return header && header->GetCountField(DrawDataType4::kDTyp) <= kQuads &&
           PointCountFor(header->GetCountField(DrawDataType4::kCrCt), header->GetBPCt()) != 0;
}

DrawUnitType4::DrawUnitType4(ParticleInstance* owner, const ParticleResource* data)
    : DrawUnit(owner, data), header(data->GetDrawDataType4()) {
    // Refused data (no field record, mode 3, no points) keeps no point:
    // the update and the draw do nothing, but the base has drawn the
    // unit's values, so the units built after it draw what they would.
    if (!Accepts(*data))
        return;
    pointCount = PointCountFor(header->GetCountField(DrawDataType4::kCrCt), header->GetBPCt());
    ColorKeys4::ComputeSpans(*header, keySpans);
    const uint32_t mode = header->GetCountField(DrawDataType4::kDTyp);
    const uint32_t ownSpace = header->GetFlagField(DrawDataType4::kOPT);
    quads = mode == kQuads;
    if (mode == kLines)
        prepareIndex = DrawRenderer::kLinePreparers + ownSpace;
    else if (mode == kFadingLines)
        prepareIndex = DrawRenderer::kFadingLinePreparers + ownSpace;
    else
        prepareIndex = DrawRenderer::kQuadPreparers + ownSpace +
                       2 * header->GetLifeField(DrawDataType4::kScL) +
                       4 * header->GetFlagField(DrawDataType4::kOBD);
    step.Read(*header);
    const uint32_t rule = header->GetFlagField(DrawDataType4::kORD) +
                          2 * header->GetFlagField(DrawDataType4::kTAK) +
                          4 * header->GetFlagField(DrawDataType4::kIfL);
    first[kWaiting] = ParticleField::StartWhenBorn;
    first[kLive] = ParticleField::SelectForce(header->GetFieldOn() ? 1u : 0u);
    second[kLive] = ParticleField::SelectRule(rule);
}

void DrawUnitType4::Update(const DrawClock& clock) {
    if (!renderBlock || pointCount == 0)
        return;
    FrameWorkMemory& memory = Engine::GetFrameWorkMemory();
    // A frame went by without this update (its instance was not
    // evaluated): the states' block may be handed out again, so the field
    // starts over as on its first update.
    if (!memory.Keeps(statesFrame))
        states = nullptr;
    auto* area = static_cast<FieldPoint*>(memory.Allocate(pointCount * FieldPoint::kSize));
    if (!area) {
        // Without its states the field cannot go on: it stops for good.
        ownerUnit->Finish();
        pointCount = 0;
        prepared = nullptr;
        return;
    }
    if (!states) {
        std::memset(area, 0, uint64_t{pointCount} * FieldPoint::kSize);
        CopyEmissionTable(area, pointCount, header->GetEmissionTable(),
                          header->GetEmissionEntryCount());
    } else if (Root()->paused) {
        std::memcpy(area, states, uint64_t{pointCount} * FieldPoint::kSize);
    } else {
        step.fieldTransform = ownerUnit->GetWorldMatrix();
        EngineWorkData* work = Engine::GetWorkData();
        step.noise = work ? &work->noise : nullptr;
        UpdateParticles(states, area, pointCount, clock.lastStep, first, second, step);
    }
    states = area;
    statesFrame = memory.GetFrame();
    prepared = memory.Allocate(pointCount * (quads ? kQuadVertexBytes : kLineVertexBytes));
    if (!prepared)
        return;
    DrawRenderer::Current().prepare[prepareIndex](this, states, *header, prepared, clock);
}

void DrawUnitType4::Draw() {
    if (!renderBlock || !prepared)
        return;
    DrawRenderer& renderer = DrawRenderer::Current();
    (quads ? renderer.submitDrawQuads : renderer.submitPreparedVertices)(this);
}

void DrawUnitType4::SubmitPreparedVertices(DrawUnitType4* unit) {
    DrawRenderer& renderer = DrawRenderer::Current();
    const auto* source = static_cast<const uint8_t*>(unit->prepared);
    uint32_t count = source ? unit->pointCount : 0;
    const uint32_t capacity = renderer.bufferSizes().vertex / kLineVertexBytes;
    while (count >= 1) {
        const uint32_t k = std::min({count, capacity, kItemsPerCommand});
        PreparedPayload payload;
        // The reservation maps the next buffer when this one is full (or
        // was never mapped) and refuses when there is none.
        if (k == 0 || !renderer.reserveVerticesNoIndex32(
                          unit->unitShader, &unit->stateWord, unit->textureBindings,
                          kNoSlotCompared, &payload.vertices, k * kLineVerticesPerItem))
            return;
        payload.source = source;
        payload.itemCount = k;
        if (!SubmitItems(renderer, unit, payload, CopyPreparedVertices))
            return;
        source += size_t{k} * kLineVertexBytes;
        count -= k;
    }
}

void DrawUnitType4::SubmitDrawQuads(DrawUnitType4* unit) {
    DrawRenderer& renderer = DrawRenderer::Current();
    // Particle batches flushed from here on carry the billboard matrix or
    // not, as the data says.
    const auto billboard = static_cast<uint8_t>(unit->header->GetFlagField(DrawDataType4::kOBD));
    uint8_t* flag = renderer.batchKind();
    if (*flag != billboard) {
        renderer.flushBatches();
        *flag = billboard;
    }
    const auto* source = static_cast<const uint8_t*>(unit->prepared);
    uint32_t count = source ? unit->pointCount : 0;
    const DrawRenderer::BufferSizes sizes = renderer.bufferSizes();
    const uint32_t capacity = std::min(sizes.vertex / kBillboardStride / kQuadVerticesPerItem,
                                       sizes.index / 2 / kQuadIndicesPerItem);
    while (count >= 1) {
        const uint32_t k = std::min({count, capacity, kItemsPerCommand});
        PreparedPayload payload;
        if (k == 0 || !renderer.reserveVertices48(
                          unit->unitShader, &unit->stateWord, unit->textureBindings,
                          unit->usedTextureMask, &payload.vertices, k * kQuadVerticesPerItem,
                          &payload.indices, &payload.firstVertex, k * kQuadIndicesPerItem))
            return;
        payload.source = source;
        payload.itemCount = k;
        if (!SubmitItems(renderer, unit, payload, CopyDrawQuads))
            return;
        source += size_t{k} * kQuadVertexBytes;
        count -= k;
    }
}

void DrawUnitType4::CopyPreparedVertices(DrawUnit*, const PreparedPayload& payload) {
    std::memcpy(payload.vertices, payload.source, size_t{payload.itemCount} * kLineVertexBytes);
}

void DrawUnitType4::CopyDrawQuads(DrawUnit*, const PreparedPayload& payload) {
    uint16_t v = payload.firstVertex;
    for (uint32_t q = 0; q < payload.itemCount;
         ++q, v = static_cast<uint16_t>(v + kQuadVerticesPerItem))
        WriteQuadIndices(payload.indices + q * kQuadIndicesPerItem, v);
    std::memcpy(payload.vertices, payload.source, size_t{payload.itemCount} * kQuadVertexBytes);
}

} // namespace FulgorCore
