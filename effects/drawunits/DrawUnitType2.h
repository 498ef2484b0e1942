#pragma once

#include "effects/drawunits/DrawCommand.h"
#include "effects/drawunits/DrawUnit.h"

#include <cstdint>

namespace FulgorCore {

struct DrawPayload;

// Draw type 2: a camera-facing quad (or four quadrant quads) showing one
// cell of a grid of cells across ("DivU") and down ("DivV") of its texture,
// each cell shown for "AnmI" frames in turn. A geometry mode past 2 has no
// geometry; data without its pattern record, without cells across or down
// or without frames per cell keeps one whole-texture cell and no geometry
// rather than dividing by zero. Either way the unit is built, so the values
// of the base are drawn as for any unit, but it draws nothing.
class DrawUnitType2 : public DrawUnit {
public:
    enum GeometryMode : uint32_t { kOneQuad = 0, kRotatedQuadrants = 1, kMirroredQuadrants = 2 };

    DrawUnitType2(ParticleInstance* owner, const ParticleResource* data);
    using DrawUnit::Update;
    void Update(const DrawClock& clock) override;
    void Draw() override;

    // The geometry writers of the three modes.
    template <uint32_t Mode>
    static void WriteParticleQuads(DrawUnit* unit, const DrawPayload& payload);
    // The frame advance of a grid of more than one cell.
    static void AdvanceFrame(DrawUnitType2* unit, float step);
    static void KeepFrame(DrawUnitType2* unit, float step);

    // Fields in the order a frame reads them.
    DrawCommand command;
    // Null when the unit draws nothing.
    DrawCommand::Geometry geometry = nullptr;
    void (*advanceMember)(DrawUnitType2* unit, float step) = KeepFrame;
    float frame = 0.0f;
    float frameCount = 1.0f;
    uint16_t framesPerCell = 1;
    uint16_t cellsU = 1;
    uint16_t cellsV = 1;
    uint16_t stepU = 0x7fff;
    uint16_t stepV = 0x7fff;
    uint16_t orientationFlags = 0;
    uint16_t cellU0 = 0;
    uint16_t cellU1 = 0;
    uint16_t cellV0 = 0;
    uint16_t cellV1 = 0;
    uint16_t packedColor[4] = {};
    float size[2] = {};
    float orientation[3] = {};
    uint32_t verticesPerParticle = 4;
    uint32_t indicesPerParticle = 6;
};

} // namespace FulgorCore
