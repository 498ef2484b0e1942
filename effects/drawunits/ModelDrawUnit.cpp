#include "effects/drawunits/ModelDrawUnit.h"

#include "effects/Core/Resource/DrawDataType5.h"
#include "effects/Core/Resource/ModelResource.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/Core/Resource/ParticleResource.h"
#include "effects/drawunits/UvTransformKernels.h"
#include "effects/units/ParticleInstance.h"

namespace FulgorCore {

namespace {

const MeshSet* MeshOf(const PackageResource* package, int32_t index) {
    const ModelResource* model = package ? package->GetModel(index) : nullptr;
    return model ? &model->GetMeshSet() : nullptr;
}

} // namespace

ModelDrawUnitBase::ModelDrawUnitBase(ParticleInstance* owner, const ParticleResource* data,
                                     const Values& values)
    : DrawUnit(owner, data), blend(values.blend), indexSample(values.indexSample),
      pairSample(values.pairSample), falloffSamples(values.falloff),
      specularSamples(values.specularSamples), topReflectionLevel(values.topReflectionLevel),
      layerMask(values.layerMask) {
    if (!renderBlock)
        return;
    record = TakeBlock();
    if (!data->GetDrawDataType5())
        return;
    if (values.lighting && values.specular)
        parameterEvaluator = EvaluateParameterValues;
    if (!FalloffEvaluation::IsOn(values.falloffMode))
        return;
    evaluatorFlag = 1;
    evaluator = FalloffEvaluation::TakesDirection(values.falloffMode)
                    ? EvaluateRenderValuesWithDirection
                    : EvaluateRenderValues;
}

ModelDrawUnitBase::~ModelDrawUnitBase() {
    GiveBack(record);
}

void ModelDrawUnitBase::EvaluateRenderValues(DrawUnit* unit, const DrawClock& clock, float* out) {
    auto* self = static_cast<ModelDrawUnitBase*>(unit);
    FalloffEvaluation::Evaluate(
        FalloffEvaluation::PropertiesOf(*unit->unitData->GetDrawDataType5()), self->falloffSamples,
        clock, *unit->randomState, out);
}

void ModelDrawUnitBase::EvaluateRenderValuesWithDirection(DrawUnit* unit, const DrawClock& clock,
                                                          float* out) {
    auto* self = static_cast<ModelDrawUnitBase*>(unit);
    FalloffEvaluation::EvaluateWithDirection(
        FalloffEvaluation::PropertiesOf(*unit->unitData->GetDrawDataType5()), self->falloffSamples,
        clock, *unit->randomState, unit->ownerUnit->GetWorldMatrix(), out);
}

void ModelDrawUnitBase::EvaluateParameterValues(DrawUnit* unit, const DrawClock& clock,
                                                float* out) {
    auto* self = static_cast<ModelDrawUnitBase*>(unit);
    const DrawDataType5& model = *unit->unitData->GetDrawDataType5();
    FalloffEvaluation::EvaluateSpecular(model.GetFloat(DrawDataType5::kMtFo),
                                        model.GetFloat(DrawDataType5::kMtRh),
                                        model.GetFloat(DrawDataType5::kMtMl), self->specularSamples,
                                        self->topReflectionLevel, clock, *unit->randomState, out);
}

void ModelDrawUnitBase::ChooseModels(const DrawClock& clock, float* blendWeight,
                                     const MeshSet** modelA, const MeshSet** modelB) {
    const DrawDataType5* model = unitData->GetDrawDataType5();
    if (!model) {
        *modelA = *modelB = nullptr;
        return;
    }
    if (blend) {
        int32_t a = -1, b = -1;
        *blendWeight = model->BlendedEntries(clock, pairSample, *randomState, a, b);
        *modelA = MeshOf(package, a);
        *modelB = MeshOf(package, b);
        return;
    }
    *modelA = *modelB = MeshOf(package, model->ListEntry(clock, indexSample, *randomState));
}

template <uint32_t N> void ModelDrawUnit<N>::Update(const DrawClock& clock) {
    MeshRenderRecord<N>* r = Record();
    if (!renderBlock || !r)
        return;
    ChooseModels(clock, &r->blendWeight, &r->modelA, &r->modelB);
    evaluator(this, clock, r->falloff);
    parameterEvaluator(this, clock, r->specular);
    EvaluateMeshParameters(&r->polygonOffset, r->shaderParameters, clock);
    if constexpr (N > 0)
        ParticleKernel::EvaluateUvTransformsTwoMasks<N>(this, r->transforms, clock, layerMask,
                                                        uvOffsetFirstMask);
    EvaluateMatrix(r->matrix, clock);
    DrawColor(r->color, ownerUnit->GetColor(), clock);
}

template class ModelDrawUnit<0>;
template class ModelDrawUnit<1>;
template class ModelDrawUnit<2>;
template class ModelDrawUnit<3>;
template class ModelDrawUnit<4>;
template class ModelDrawUnit<5>;
template class ModelDrawUnit<6>;

static_assert(EveryFormatFitsABlock<ModelDrawUnit>());

} // namespace FulgorCore
