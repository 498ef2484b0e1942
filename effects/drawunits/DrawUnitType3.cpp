#include "effects/drawunits/DrawUnitType3.h"

#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Math/FastRoot.h"
#include "effects/Core/Resource/DrawDataType3.h"
#include "effects/Core/Resource/ParticleResource.h"
#include "effects/drawunits/DrawRenderer.h"
#include "effects/drawunits/DrawUnitOwner.h"
#include "effects/drawunits/DrawUnitRenderBlock.h"
#include "effects/drawunits/DrawVertices.h"
#include "effects/drawunits/PackColor.h"
#include "effects/render/Renderer.h"
#include "effects/units/ParticleInstance.h"

namespace FulgorCore {

namespace {

constexpr uint16_t kTextureEnd = 1000;
constexpr uint16_t kTextureMiddle = 500;

void Cross(float* out, const float* a, const float* b) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

void Normalize(float* v) {
    const float r = Math::ReciprocalSqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    for (uint32_t i = 0; i < 3; ++i)
        v[i] *= r;
}

// normalise(s x (point - eye)).
void FacingDirection(float* out, const float* s, const float* point, const float* eye) {
    const float d[3] = {point[0] - eye[0], point[1] - eye[1], point[2] - eye[2]};
    Cross(out, s, d);
    Normalize(out);
}

} // namespace

DrawUnitType3::DrawUnitType3(ParticleInstance* owner, const ParticleResource* data)
    : DrawUnit(owner, data), command(this), segment(data->GetDrawDataType3()) {
    if (segment) {
        widthRandom = segment->GetWidth().SampleRandom(*randomState);
        lengthRandom = segment->GetLength().SampleRandom(*randomState);
    }
}

void DrawUnitType3::Update(const DrawClock& clock) {
    if (!renderBlock || !segment)
        return;
    EvaluateVertexParameters(parameters, clock);
    const float f = DrawUnitOwner::PlaneScale(ownerUnit);
    width = segment->GetWidth().Evaluate(clock, widthRandom, *randomState) * f;
    const float half = segment->GetLength().Evaluate(clock, lengthRandom, *randomState) * 0.5f;
    DrawUnitOwner::Axis(ownerUnit, halfExtent);
    for (float& v : halfExtent)
        v *= half;
    float color[4];
    DrawColor(color, ownerColour, clock);
    PackFloat4ToU16(packedColor, color);
}

void DrawUnitType3::Draw() {
    if (!renderBlock)
        return;
    DrawRenderer& renderer = DrawRenderer::Current();
    DrawPayload& room = command.payload;
    if (!renderer.reserveVertices(unitShader, &stateWord, textureBindings, usedTextureMask,
                                  &room.vertices, 8, &room.indices, &room.firstVertex, 18))
        return;
    command.geometry = WriteCappedLineGeometry;
    renderer.submit(&command);
}

void DrawUnitType3::WriteCappedLineGeometry(DrawUnit* drawUnit, const DrawPayload& payload) {
    const DrawUnitType3& unit = *static_cast<const DrawUnitType3*>(drawUnit);
    for (uint16_t k = 0; k < 3; ++k) {
        const uint16_t b = static_cast<uint16_t>(payload.firstVertex + 2 * k);
        uint16_t* i = payload.indices + 6 * k;
        i[0] = static_cast<uint16_t>(b + 3);
        i[1] = static_cast<uint16_t>(b + 1);
        i[2] = b;
        i[3] = b;
        i[4] = static_cast<uint16_t>(b + 2);
        i[5] = static_cast<uint16_t>(b + 3);
    }
    // The eye of the current draw record: the camera in view 0, the origin
    // in views 1 and 2.
    const float* eye = Renderer::GetViewVector();
    const float* p = DrawUnitOwner::Position(unit.ownerUnit);
    const float* h = unit.halfExtent;
    const float a[3] = {p[0] - h[0], p[1] - h[1], p[2] - h[2]};
    const float b[3] = {p[0] + h[0], p[1] + h[1], p[2] + h[2]};
    float side[3];
    FacingDirection(side, h, p, eye);
    float endA[3], endB[3];
    FacingDirection(endA, side, a, eye);
    FacingDirection(endB, side, b, eye);
    const float w = unit.width;
    float rows[4][3];
    for (uint32_t i = 0; i < 3; ++i) {
        rows[0][i] = a[i] + w * endA[i];
        rows[1][i] = a[i];
        rows[2][i] = b[i];
        rows[3][i] = b[i] - w * endB[i];
    }
    static constexpr uint16_t kRowV[4] = {0, kTextureMiddle, kTextureMiddle, kTextureEnd};
    auto* vertices = static_cast<BandVertex*>(payload.vertices);
    const float positionW = unit.GetPolygonOffset();
    for (uint32_t r = 0; r < 4; ++r) {
        for (uint32_t s = 0; s < 2; ++s) {
            BandVertex& v = vertices[2 * r + s];
            const float sign = s == 0 ? -1.0f : 1.0f;
            for (uint32_t i = 0; i < 3; ++i)
                v.position[i] = rows[r][i] + sign * w * side[i];
            v.position[3] = positionW;
            for (uint32_t c = 0; c < 4; ++c) {
                v.color[c] = unit.packedColor[c];
                v.parameters[c] = unit.parameters[c];
            }
            v.uv[0] = s == 0 ? 0 : kTextureEnd;
            v.uv[1] = kRowV[r];
        }
    }
}

} // namespace FulgorCore
