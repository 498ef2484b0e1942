#include "effects/drawunits/DrawUnitType1.h"

#include "effects/Core/Resource/DrawDataType1.h"
#include "effects/Core/Resource/ParticleResource.h"
#include "effects/drawunits/DrawRenderer.h"
#include "effects/drawunits/DrawUnitOwner.h"
#include "effects/drawunits/DrawUnitRenderBlock.h"
#include "effects/drawunits/DrawVertices.h"
#include "effects/drawunits/PackColor.h"
#include "effects/units/ParticleInstance.h"

#include <cstring>

namespace FulgorCore {

namespace {

constexpr uint8_t kNoSlotCompared = 0;

// One end of the line, read whole before either vertex is written: the
// room written could, for all the compiler knows, overlap the unit, and
// reads between the writes would be checked against it every time.
struct LineEnd {
    float position[4];
    uint16_t color[4];
};

void WriteLineVertex(LineVertex& out, const LineEnd& end, const uint8_t* parameters) {
    std::memcpy(out.position, end.position, sizeof end.position);
    std::memcpy(out.color, end.color, sizeof end.color);
    std::memcpy(out.parameters, parameters, sizeof out.parameters);
}

} // namespace

DrawUnitType1::DrawUnitType1(ParticleInstance* owner, const ParticleResource* data)
    : DrawUnit(owner, data), command(this), line(data->GetDrawDataType1()) {
    if (line) {
        lengthRandom = line->GetLength().SampleRandom(*randomState);
        line->GetHeadColor().SampleRandom(*randomState, tipColorRandoms);
        line->GetTailColor().SampleRandom(*randomState, rootColorRandoms);
    }
}

void DrawUnitType1::Update(const DrawClock& clock) {
    if (!renderBlock || !line)
        return;
    EvaluateByteParameters(parameters, clock);
    float c[4];
    DrawColor(c, ownerColour, clock);
    float a[4], b[4];
    line->GetHeadColor().Evaluate(clock, tipColorRandoms, *randomState, a);
    line->GetTailColor().Evaluate(clock, rootColorRandoms, *randomState, b);
    for (uint32_t i = 0; i < 4; ++i) {
        a[i] *= c[i];
        b[i] *= c[i];
    }
    PackFloat4ToU16(tipColor, a);
    PackFloat4ToU16(rootColor, b);
    const float length = line->GetLength().Evaluate(clock, lengthRandom, *randomState);
    float axis[3];
    DrawUnitOwner::Axis(ownerUnit, axis);
    const float* p = DrawUnitOwner::Position(ownerUnit);
    for (uint32_t i = 0; i < 3; ++i)
        endPoint[i] = axis[i] * length + p[i];
}

void DrawUnitType1::Draw() {
    if (!renderBlock)
        return;
    DrawRenderer& renderer = DrawRenderer::Current();
    // The room goes straight into the command (no unit's command is
    // pending when it draws again), not through a copy on the stack.
    if (!renderer.reserveVerticesNoIndex32(unitShader, &stateWord, textureBindings, kNoSlotCompared,
                                           &command.payload.vertices, 2))
        return;
    command.geometry = WriteLineGeometry;
    renderer.submit(&command);
}

void DrawUnitType1::WriteLineGeometry(DrawUnit* drawUnit, const DrawPayload& payload) {
    const DrawUnitType1& unit = *static_cast<const DrawUnitType1*>(drawUnit);
    auto* vertices = static_cast<LineVertex*>(payload.vertices);
    const float w = unit.GetPolygonOffset();
    const float* p = DrawUnitOwner::Position(unit.ownerUnit);
    const LineEnd root{{p[0], p[1], p[2], w},
                       {unit.rootColor[0], unit.rootColor[1], unit.rootColor[2], unit.rootColor[3]}};
    const LineEnd tip{{unit.endPoint[0], unit.endPoint[1], unit.endPoint[2], w},
                      {unit.tipColor[0], unit.tipColor[1], unit.tipColor[2], unit.tipColor[3]}};
    uint8_t parameters[4];
    std::memcpy(parameters, unit.parameters, sizeof parameters);
    WriteLineVertex(vertices[0], root, parameters);
    WriteLineVertex(vertices[1], tip, parameters);
}

} // namespace FulgorCore
