#include "effects/drawunits/DrawUnitType4.h"

#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Memory/FrameWorkMemory.h"
#include "effects/Core/Resource/DrawDataType4.h"
#include "effects/Core/Resource/ParticleResource.h"
#include "effects/Core/Unit/CopyEmissionTable.h"
#include "effects/drawunits/ColorKeys4.h"
#include "effects/drawunits/DrawRenderer.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/ParticleInstance.h"

#include <cstring>

namespace FulgorCore {

namespace {

constexpr uint32_t kStateIndexMask = 3u;
constexpr uint32_t kWaiting = 0;
constexpr uint32_t kLive = FieldPoint::kLive;

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

} // namespace FulgorCore
