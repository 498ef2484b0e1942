#include "effects/drawunits/DrawUnitType2.h"

#include "effects/Core/Math/FloatConversion.h"
#include "effects/Core/Resource/DrawDataType2.h"
#include "effects/Core/Resource/ParticleResource.h"
#include "effects/drawunits/DrawRenderer.h"
#include "effects/drawunits/DrawUnitOwner.h"
#include "effects/drawunits/DrawUnitRenderBlock.h"
#include "effects/drawunits/DrawUnitSteps.h"
#include "effects/drawunits/DrawVertices.h"
#include "effects/drawunits/OrientationSources.h"
#include "effects/drawunits/PackColor.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/ParticleInstance.h"

namespace FulgorCore {

namespace {

constexpr uint16_t kFullCell = 0x7fff;

struct QuadrantSign {
    float x, y;
};
// The outer corners of the four quadrants, in the order of a quad's own
// vertices: top left, top right, bottom left, bottom right.
constexpr QuadrantSign kQuadrants[4] = {{-1.0f, 1.0f}, {1.0f, 1.0f}, {-1.0f, -1.0f}, {1.0f, -1.0f}};

} // namespace

bool DrawUnitType2::Accepts(const ParticleResource& data) {
    const DrawDataType2* pattern = data.GetDrawDataType2();
    return pattern && pattern->GetField(DrawDataType2::kUvType) <= kMirroredQuadrants &&
           pattern->GetField(DrawDataType2::kDivisionsU) != 0 &&
           pattern->GetField(DrawDataType2::kDivisionsV) != 0 &&
           pattern->GetField(DrawDataType2::kAnimationIndex) != 0;
}

DrawUnitType2::DrawUnitType2(ParticleInstance* owner, const ParticleResource* data)
    : DrawUnit(owner, data), command(this) {
    const DrawDataType2& pattern = *data->GetDrawDataType2();
    orientationFlags =
        static_cast<uint16_t>((pattern.GetField(DrawDataType2::kRotateXY) ? 1u : 0u) |
                              (pattern.GetField(DrawDataType2::kRotateZ) ? 2u : 0u));
    switch (pattern.GetField(DrawDataType2::kUvType)) {
    case kRotatedQuadrants:
        geometry = WriteParticleQuads<kRotatedQuadrants>;
        verticesPerParticle = 16;
        indicesPerParticle = 24;
        break;
    case kMirroredQuadrants:
        geometry = WriteParticleQuads<kMirroredQuadrants>;
        verticesPerParticle = 16;
        indicesPerParticle = 24;
        break;
    default:
        geometry = WriteParticleQuads<kOneQuad>;
        break;
    }
    cellsU = static_cast<uint16_t>(pattern.GetField(DrawDataType2::kDivisionsU));
    cellsV = static_cast<uint16_t>(pattern.GetField(DrawDataType2::kDivisionsV));
    stepU = static_cast<uint16_t>(kFullCell / cellsU);
    stepV = static_cast<uint16_t>(kFullCell / cellsV);
    framesPerCell = static_cast<uint16_t>(pattern.GetField(DrawDataType2::kAnimationIndex));
    frameCount = static_cast<float>(uint32_t{framesPerCell} * cellsV * cellsU);
    advanceMember = uint32_t{cellsV} * cellsU == 1 ? KeepFrame : AdvanceFrame;
}

void DrawUnitType2::AdvanceFrame(DrawUnitType2* unit, float step) {
    AdvanceWrappedTime(unit->frame, unit->frameCount, step);
}

void DrawUnitType2::KeepFrame(DrawUnitType2*, float) {}

void DrawUnitType2::Update(const DrawClock& clock) {
    if (!renderBlock)
        return;
    renderBlock->textureKernel(this, clock);
    const uint32_t q = static_cast<uint16_t>(Math::TruncateToInt32(frame)) / framesPerCell;
    const uint32_t row = q / cellsU;
    const uint32_t col = q % cellsU;
    cellU0 = static_cast<uint16_t>(stepU * col);
    cellU1 = static_cast<uint16_t>(stepU * (col + 1));
    cellV0 = static_cast<uint16_t>(stepV * row);
    cellV1 = static_cast<uint16_t>(stepV * (row + 1));
    const InstanceRootUnit* root = Root();
    float s[3];
    ownerUnit->GetVector0(s);
    Scale(s, clock);
    size[0] = root->axisLengths[0] * s[0];
    size[1] = root->axisLengths[1] * s[1];
    float color[4];
    DrawColor(color, ownerUnit->GetColor(), clock);
    PackFloat4ToU16(packedColor, color);
    advanceMember(this, clock.lastStep);
    // Taken fresh each frame: with no flag the angle would otherwise be
    // added to last frame's sum and grow without end.
    orientation[0] = orientation[1] = orientation[2] = 0.0f;
    OrientationSources::kPattern[orientationFlags & 3u](ownerUnit, orientation);
    orientation[2] += root->eulerAngles[2];
}

void DrawUnitType2::Draw() {
    if (!renderBlock)
        return;
    DrawRenderer& renderer = DrawRenderer::Current();
    uint8_t* kind = renderer.batchKind();
    if (*kind != DrawRenderer::kBillboardBatch) {
        renderer.flushBatches();
        *kind = DrawRenderer::kBillboardBatch;
    }
    DrawPayload payload;
    if (!renderer.reserveVertices48(unitShader, &stateWord, textureBindings, usedTextureMask,
                                    &payload.vertices, verticesPerParticle, &payload.indices,
                                    &payload.firstVertex, indicesPerParticle))
        return;
    command.geometry = geometry;
    command.payload = payload;
    renderer.submit(&command);
}

template <uint32_t Mode>
void DrawUnitType2::WriteParticleQuads(DrawUnit* drawUnit, const DrawPayload& payload) {
    const DrawUnitType2& unit = *static_cast<const DrawUnitType2*>(drawUnit);
    auto* vertices = static_cast<BillboardVertex*>(payload.vertices);
    const BillboardShared shared{DrawUnitOwner::Position(unit.ownerUnit), unit.GetPolygonOffset(),
                                 unit.orientation, unit.packedColor};
    const float w = unit.size[0], h = unit.size[1];
    if constexpr (Mode == kOneQuad) {
        WriteQuadIndices(payload.indices, payload.firstVertex);
        WriteBillboardVertex(vertices[0], shared, -w, h, unit.cellU0, unit.cellV0);
        WriteBillboardVertex(vertices[1], shared, w, h, unit.cellU1, unit.cellV0);
        WriteBillboardVertex(vertices[2], shared, -w, -h, unit.cellU0, unit.cellV1);
        WriteBillboardVertex(vertices[3], shared, w, -h, unit.cellU1, unit.cellV1);
    } else {
        // Each quadrant shows the whole cell, its (U1, V1) corner at the
        // centre and (U0, V0) at the quadrant's outer corner. Mirrored: u
        // follows the distance from the vertical centre line and v from the
        // horizontal one in every quadrant. Rotated: the quadrants turn a
        // quarter from one to the next (top right, top left, bottom left,
        // bottom right), so every other one swaps the two.
        for (uint32_t q = 0; q < 4; ++q) {
            const QuadrantSign sign = kQuadrants[q];
            const bool swap = Mode == kRotatedQuadrants && sign.x * sign.y < 0.0f;
            WriteQuadIndices(payload.indices + 6 * q,
                             static_cast<uint16_t>(payload.firstVertex + 4 * q));
            for (uint32_t corner = 0; corner < 4; ++corner) {
                // The quad's own corner order: left/right by bit 0, top/bottom
                // by bit 1; outer when on the quadrant's outer side.
                const float cx = (corner & 1u) ? 1.0f : -1.0f;
                const float cy = (corner & 2u) ? -1.0f : 1.0f;
                const bool outerX = cx == sign.x;
                const bool outerY = cy == sign.y;
                const float x = outerX ? sign.x * w : 0.0f;
                const float y = outerY ? sign.y * h : 0.0f;
                const bool uOuter = swap ? outerY : outerX;
                const bool vOuter = swap ? outerX : outerY;
                WriteBillboardVertex(vertices[4 * q + corner], shared, x, y,
                                     uOuter ? unit.cellU0 : unit.cellU1,
                                     vOuter ? unit.cellV0 : unit.cellV1);
            }
        }
    }
}

template void DrawUnitType2::WriteParticleQuads<DrawUnitType2::kOneQuad>(DrawUnit*,
                                                                         const DrawPayload&);
template void
DrawUnitType2::WriteParticleQuads<DrawUnitType2::kRotatedQuadrants>(DrawUnit*, const DrawPayload&);
template void
DrawUnitType2::WriteParticleQuads<DrawUnitType2::kMirroredQuadrants>(DrawUnit*, const DrawPayload&);

} // namespace FulgorCore
