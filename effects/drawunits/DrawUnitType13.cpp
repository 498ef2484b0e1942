#include "effects/drawunits/DrawUnitType13.h"

#include "effects/Core/Resource/DrawDataType13.h"
#include "effects/Core/Resource/ParticleResource.h"
#include "effects/drawunits/UvTransformKernels.h"
#include "effects/render/Renderer.h"
#include "effects/units/ParticleInstance.h"

namespace FulgorCore {

DrawUnitType13Base::DrawUnitType13Base(ParticleInstance* owner, const ParticleResource* data,
                                       const Values& values)
    : DrawUnit(owner, data), falloffSamples(values.falloff),
      screenPosition(values.screenPosition ? 1 : 0) {
    if (const DrawDataType13* d = data->GetDrawDataType13()) {
        mesh.vertexBuffer1 = d->GetVertexBuffer();
        mesh.indexBuffer1 = d->GetIndexBuffer();
        mesh.vertexCount1 = d->GetVertexCount();
        mesh.indexCount1 = d->GetIndexCount();
    }
    if (!renderBlock)
        return;
    record = TakeBlock();
    if (!data->GetDrawDataType13() || !FalloffEvaluation::IsOn(values.falloffMode))
        return;
    evaluatorFlag = 1;
    evaluator = FalloffEvaluation::TakesDirection(values.falloffMode)
                    ? EvaluateRenderValuesWithDirection
                    : EvaluateRenderValues;
}

DrawUnitType13Base::DrawUnitType13Base(ParticleInstance* owner, const ParticleResource* data)
    : DrawUnit(owner, data), screenPosition(0) {
    record = TakeBlock();
    const DrawDataType13* d = data->GetDrawDataType13();
    if (!record || !d)
        return;
    screenPosition = static_cast<uint8_t>(data->GetRenderFlag());
    // Borrowed: the data made the buffers and releases them.
    mesh.vertexBuffer1 = d->GetVertexBuffer();
    mesh.indexBuffer1 = d->GetIndexBuffer();
    mesh.vertexCount1 = d->GetVertexCount();
    mesh.indexCount1 = d->GetIndexCount();
    const uint32_t falloffMode = d->GetRimType();
    evaluatorFlag = FalloffEvaluation::IsOn(falloffMode) ? 1 : 0;
    evaluator = FalloffEvaluation::Choose<Evaluator>(falloffMode, EvaluateRenderValues,
                                                     EvaluateRenderValuesWithDirection,
                                                     EvaluateNothing);
    if (falloffMode != 0)
        FalloffEvaluation::Sample(FalloffEvaluation::PropertiesOf(*d), *randomState,
                                  falloffSamples);
}

DrawUnitType13Base::~DrawUnitType13Base() {
    GiveBack(record);
}

void DrawUnitType13Base::EvaluateRenderValues(DrawUnit* unit, const DrawClock& clock, float* out) {
    auto* self = static_cast<DrawUnitType13Base*>(unit);
    FalloffEvaluation::Evaluate(
        FalloffEvaluation::PropertiesOf(*unit->unitData->GetDrawDataType13()), self->falloffSamples,
        clock, *unit->randomState, out);
}

void DrawUnitType13Base::EvaluateRenderValuesWithDirection(DrawUnit* unit, const DrawClock& clock,
                                                           float* out) {
    auto* self = static_cast<DrawUnitType13Base*>(unit);
    FalloffEvaluation::EvaluateWithDirection(
        FalloffEvaluation::PropertiesOf(*unit->unitData->GetDrawDataType13()), self->falloffSamples,
        clock, *unit->randomState, unit->ownerUnit->GetWorldMatrix(), out);
}

template <uint32_t N> void DrawUnitType13<N>::Update(const DrawClock& clock) {
    MeshRenderRecord<N>* r = Record();
    if (!renderBlock || !r)
        return;
    EvaluateMeshParameters(&r->polygonOffset, r->shaderParameters, clock);
    if constexpr (N > 0)
        ParticleKernel::EvaluateUvTransformsTwoMasks<N>(this, r->transforms, clock, 0xFF,
                                                        uvOffsetFirstMask);
    evaluator(this, clock, r->falloff);
    EvaluateMatrix(r->matrix, clock);
    DrawColor(r->color, ownerColour, clock);
}

template <uint32_t N> void DrawUnitType13<N>::Draw() {
    const MeshRenderRecord<N>* r = Record();
    // A buffer the device could not make counts as a missing mesh.
    if (!renderBlock || !r || mesh.vertexCount1 == 0 || mesh.indexCount1 == 0 ||
        !mesh.vertexBuffer1 || !mesh.indexBuffer1)
        return;
    Renderer::IssueDrawCommand<N>(
        mesh.vertexBuffer1, mesh.vertexCount1, mesh.indexBuffer1, mesh.indexCount1, unitShader,
        r->matrix, r->transforms, screenPosition, &stateWord, textureBindings, usedTextureMask,
        r->color, &r->polygonOffset, r->shaderParameters, evaluatorFlag ? r->falloff : nullptr);
}

template class DrawUnitType13<0>;
template class DrawUnitType13<1>;
template class DrawUnitType13<2>;
template class DrawUnitType13<3>;
template class DrawUnitType13<4>;
template class DrawUnitType13<5>;
template class DrawUnitType13<6>;

static_assert(EveryFormatFitsABlock<DrawUnitType13>());

} // namespace FulgorCore
