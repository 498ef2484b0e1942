#include "effects/drawunits/DrawUnitType11.h"

#include "effects/Core/Resource/DrawDataType11.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/Core/Resource/ParticleResource.h"
#include "effects/drawunits/DrawRenderer.h"
#include "effects/drawunits/DrawUnitOwner.h"
#include "effects/drawunits/DrawUnitRenderBlock.h"
#include "effects/drawunits/DrawVertices.h"
#include "effects/drawunits/OrientationSources.h"
#include "effects/drawunits/PackColor.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/ParticleInstance.h"

#include <cmath>
#include <cstring>

namespace FulgorCore {

namespace {

constexpr uint8_t kFirstSlotOnly = 1;
constexpr uint32_t kSamplerModes = 0x3Fu;

template <class T> T ReadAt(const uint8_t* p, uint32_t offset) {
    T v;
    std::memcpy(&v, p + offset, sizeof(T));
    return v;
}

using FrameRecord = DrawUnitType11::FrameRecord;

// Key i of the flipbook's table, null past its count or without a table.
// Read in line every frame, not through a call per key; the table is the
// part's, shared by every unit of it, so it stays in cache.
[[gnu::always_inline]] inline const uint8_t* KeyOf(const DrawDataType11* flipbook, uint32_t i) {
    return flipbook ? flipbook->GetKey(i) : nullptr;
}

// Field `Offset` of key i, 0 past the count.
template <class T, size_t Offset>
[[gnu::always_inline]] inline T FieldOf(const DrawDataType11* flipbook, uint32_t i) {
    const uint8_t* p = KeyOf(flipbook, i);
    return p ? ReadAt<T>(p, Offset) : T{};
}

} // namespace

DrawUnitType11::DrawUnitType11(ParticleInstance* owner, const ParticleResource* data)
    : DrawUnit(owner, data), command(this), flipbook(data->GetDrawDataType11()) {
    if (!flipbook)
        return;
    orientationFlags =
        static_cast<uint8_t>((flipbook->GetField(DrawDataType11::kRotateXY) ? 1u : 0u) |
                             (flipbook->GetField(DrawDataType11::kRotateZ) ? 2u : 0u));
    frameCount = static_cast<uint16_t>(flipbook->GetKeyCount());
    for (uint32_t i = 0; i < frameCount; ++i)
        cycleLength +=
            static_cast<float>(FieldOf<uint16_t, offsetof(FrameRecord, duration)>(flipbook, i));
    frameDuration =
        static_cast<float>(FieldOf<uint16_t, offsetof(FrameRecord, duration)>(flipbook, 0));
    // The flipbook sets slot 0's texture itself, every frame.
    textureBindings[0].texture = nullptr;
    textureBindings[0].sampler = (textureBindings[0].sampler & ~kSamplerModes) |
                                 (flipbook->GetField(DrawDataType11::kTxF) ? 1u : 0u);
}

void DrawUnitType11::Update(const DrawClock& clock) {
    if (!renderBlock || frameCount == 0)
        return;
    frameTime += clock.lastStep;
    if (cycleLength > 0.0f) {
        // Whole cycles past the first bring the flipbook back to the same
        // frame; one remainder stands for them after a long step.
        if (frameTime >= cycleLength * 2.0f)
            frameTime = std::fmod(frameTime, cycleLength);
        while (frameTime >= frameDuration) {
            frameTime -= frameDuration;
            // (index + 1) mod count, without the division in the common case.
            const uint32_t next = frameIndex + 1u;
            frameIndex = static_cast<uint16_t>(next < frameCount ? next : next % frameCount);
            frameDuration = static_cast<float>(
                FieldOf<uint16_t, offsetof(FrameRecord, duration)>(flipbook, frameIndex));
        }
    }
    // The frame's fields straight from the part's table (frameIndex is
    // always within its count here).
    const uint8_t* key = KeyOf(flipbook, frameIndex);
    const auto texture = ReadAt<uint16_t>(key, offsetof(FrameRecord, texture));
    textureBindings[0].texture = Package() ? Package()->GetTexture(texture) : nullptr;
    const InstanceRootUnit* root = Root();
    float s[3];
    ownerUnit->GetVector0(s);
    Scale(s, clock);
    size[0] = ReadAt<float>(key, offsetof(FrameRecord, width)) * s[0] * root->axisLengths[0];
    size[1] = ReadAt<float>(key, offsetof(FrameRecord, height)) * s[1] * root->axisLengths[1];
    pivotX = -(ReadAt<float>(key, offsetof(FrameRecord, pivotX)) * size[0]);
    pivotY = ReadAt<float>(key, offsetof(FrameRecord, pivotY)) * size[1];
    float color[4];
    PackFloat4ToU16(packedColor, DrawColorOf(color, ownerColour, clock));
    orientation[0] = orientation[1] = orientation[2] = 0.0f;
    // Most flipbooks turn with neither of the owner's rotations.
    if (orientationFlags & 3u)
        OrientationSources::kFlipbook[orientationFlags & 3u](ownerUnit, orientation);
    orientation[2] += root->eulerAngles[2];
}

void DrawUnitType11::Draw() {
    if (!renderBlock || frameCount == 0)
        return;
    DrawRenderer& renderer = DrawRenderer::Current();
    uint8_t* kind = renderer.batchKind();
    if (*kind != DrawRenderer::kBillboardBatch) {
        renderer.flushBatches();
        *kind = DrawRenderer::kBillboardBatch;
    }
    DrawPayload& room = command.payload;
    if (!renderer.reserveVertices48(unitShader, &stateWord, textureBindings, kFirstSlotOnly,
                                    &room.vertices, 4, &room.indices, &room.firstVertex, 6))
        return;
    command.geometry = WriteBillboardQuad;
    renderer.submit(&command);
}

void DrawUnitType11::WriteBillboardQuad(DrawUnit* drawUnit, const DrawPayload& payload) {
    const DrawUnitType11& unit = *static_cast<const DrawUnitType11*>(drawUnit);
    // Everything the quad takes is read before its first write: the room
    // could, for all the compiler knows, overlap the unit, and reads between
    // the writes would be checked against it every time.
    const float polygonOffset = unit.GetPolygonOffset();
    auto* vertices = static_cast<BillboardVertex*>(payload.vertices);
    uint16_t* indices = payload.indices;
    const uint16_t firstVertex = payload.firstVertex;
    const float* p = DrawUnitOwner::Position(unit.ownerUnit);
    // What the four vertices share, in plain values: WriteBillboardVertex
    // takes them through pointers the compiler must assume the room could
    // overlap, and a copy of them in one record on the stack is read back
    // wide before its narrow stores have landed. Plain stores measured
    // fastest.
    const float px = p[0] + unit.flipbook->GetDwPx(), py = p[1] + unit.flipbook->GetDwPy(),
                pz = p[2];
    const float o0 = unit.orientation[0], o1 = unit.orientation[1], o2 = unit.orientation[2];
    uint64_t color;
    std::memcpy(&color, unit.packedColor, sizeof color);
    const float w = unit.size[0], h = unit.size[1];
    const float x = unit.pivotX, y = unit.pivotY;
    // The cell of the current frame as the flipbook's data holds it.
    uint16_t cell[4] = {};
    if (const uint8_t* key = KeyOf(unit.flipbook, unit.frameIndex))
        std::memcpy(cell, key + offsetof(FrameRecord, u0), sizeof cell);
    const uint16_t u0 = cell[0], v0 = cell[1], u1 = cell[2], v1 = cell[3];
    WriteQuadIndices(indices, firstVertex);
    auto corner = [=](BillboardVertex& out, float cornerX, float cornerY, uint16_t u, uint16_t v) {
        out.position[0] = px;
        out.position[1] = py;
        out.position[2] = pz;
        out.corner[0] = cornerX;
        out.corner[1] = cornerY;
        out.w = polygonOffset;
        out.orientation[0] = o0;
        out.orientation[1] = o1;
        out.orientation[2] = o2;
        out.uv[0] = u;
        out.uv[1] = v;
        std::memcpy(out.color, &color, sizeof out.color);
    };
    corner(vertices[0], x - w, y + h, u0, v0);
    corner(vertices[1], x + w, y + h, u1, v0);
    corner(vertices[2], x - w, y - h, u0, v1);
    corner(vertices[3], x + w, y - h, u1, v1);
}

} // namespace FulgorCore
