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

// One vertex of the quadrant modes: the corner offset in units of the half
// size, and which side of the cell its texture takes, u then v (0 the
// cell's (U0, V0) side, which lies on every quadrant's outer corner; 1 its
// (U1, V1) side, on the centre). Each quadrant is a quad of its own, its
// vertices in the order top-left, top-right, bottom-left, bottom-right.
struct QuadrantVertex {
    int8_t x, y;
    uint8_t u, v;
};
// Mirrored: the quadrants top-left, top-right, bottom-left, bottom-right,
// the cell as it is, mirrored in u, in v, in both.
constexpr QuadrantVertex kMirrored[4][4] = {
    {{-1, 1, 0, 0}, {0, 1, 1, 0}, {-1, 0, 0, 1}, {0, 0, 1, 1}},
    {{0, 1, 1, 0}, {1, 1, 0, 0}, {0, 0, 1, 1}, {1, 0, 0, 1}},
    {{-1, 0, 0, 1}, {0, 0, 1, 1}, {-1, -1, 0, 0}, {0, -1, 1, 0}},
    {{0, 0, 1, 1}, {1, 0, 0, 1}, {0, -1, 1, 0}, {1, -1, 0, 0}},
};
// Rotated: the quadrants clockwise from the top left (top-left, top-right,
// bottom-right, bottom-left), each the cell turned a quarter further.
constexpr QuadrantVertex kRotated[4][4] = {
    {{-1, 1, 0, 0}, {0, 1, 1, 0}, {-1, 0, 0, 1}, {0, 0, 1, 1}},
    {{0, 1, 0, 1}, {1, 1, 0, 0}, {0, 0, 1, 1}, {1, 0, 1, 0}},
    {{0, 0, 1, 1}, {1, 0, 0, 1}, {0, -1, 1, 0}, {1, -1, 0, 0}},
    {{-1, 0, 1, 0}, {0, 0, 1, 1}, {-1, -1, 0, 0}, {0, -1, 0, 1}},
};

} // namespace

DrawUnitType2::DrawUnitType2(ParticleInstance* owner, const ParticleResource* data)
    : DrawUnit(owner, data), command(this) {
    // Without a record or with a zero count the grid has no cell to show:
    // the one-cell defaults stay, so the update divides by nothing but 1,
    // and no geometry is stored.
    const DrawDataType2* pattern = data->GetDrawDataType2();
    if (!pattern || pattern->GetField(DrawDataType2::kDivisionsU) == 0 ||
        pattern->GetField(DrawDataType2::kDivisionsV) == 0 ||
        pattern->GetField(DrawDataType2::kAnimationIndex) == 0)
        return;
    orientationFlags =
        static_cast<uint16_t>((pattern->GetField(DrawDataType2::kRotateXY) ? 1u : 0u) |
                              (pattern->GetField(DrawDataType2::kRotateZ) ? 2u : 0u));
    switch (pattern->GetField(DrawDataType2::kUvType)) {
    case kOneQuad:
        geometry = WriteParticleQuads<kOneQuad>;
        break;
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
        // An unknown mode has no geometry: the unit draws nothing.
        break;
    }
    cellsU = static_cast<uint16_t>(pattern->GetField(DrawDataType2::kDivisionsU));
    cellsV = static_cast<uint16_t>(pattern->GetField(DrawDataType2::kDivisionsV));
    stepU = static_cast<uint16_t>(kFullCell / cellsU);
    stepV = static_cast<uint16_t>(kFullCell / cellsV);
    framesPerCell = static_cast<uint16_t>(pattern->GetField(DrawDataType2::kAnimationIndex));
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
    renderBlock->textureSelectKernel(this, clock);
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
    DrawColor(color, ownerColour, clock);
    PackFloat4ToU16(packedColor, color);
    advanceMember(this, clock.lastStep);
    // Taken fresh each frame: with no flag the angle would otherwise be
    // added to last frame's sum and grow without end.
    orientation[0] = orientation[1] = orientation[2] = 0.0f;
    OrientationSources::kPattern[orientationFlags & 3u](ownerUnit, orientation);
    orientation[2] += root->eulerAngles[2];
}

void DrawUnitType2::Draw() {
    // Nothing is reserved for a unit without geometry: the room would be
    // drawn unwritten.
    if (!renderBlock || !geometry)
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
        const auto& quadrants = Mode == kRotatedQuadrants ? kRotated : kMirrored;
        const uint16_t u[2] = {unit.cellU0, unit.cellU1};
        const uint16_t v[2] = {unit.cellV0, unit.cellV1};
        for (uint32_t q = 0; q < 4; ++q) {
            WriteQuadIndices(payload.indices + 6 * q,
                             static_cast<uint16_t>(payload.firstVertex + 4 * q));
            for (uint32_t k = 0; k < 4; ++k) {
                const QuadrantVertex& c = quadrants[q][k];
                WriteBillboardVertex(vertices[4 * q + k], shared, c.x * w, c.y * h, u[c.u], v[c.v]);
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
