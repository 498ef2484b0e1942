#include "effects/drawunits/ModelDrawUnit.h"

#include "effects/Core/Interface/ITexture.h"
#include "effects/Core/Resource/DrawDataType5.h"
#include "effects/Core/Resource/ModelResource.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/Core/Resource/ParticleResource.h"
#include "effects/drawunits/UvTransformKernels.h"
#include "effects/render/Renderer.h"
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
      layerMask(values.layerMask), screenPosition(values.screenPosition ? 1 : 0) {
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

ModelDrawUnitBase::ModelDrawUnitBase(ParticleInstance* owner, const ParticleResource* data)
    : DrawUnit(owner, data), blend(false), indexSample(0.0f), pairSample(0.0f),
      topReflectionLevel(0.0f), layerMask(0), screenPosition(0) {
    // A missing members' block already ended the particle; the record is
    // still taken so the unit is as far built as the data allows.
    record = TakeBlock();
    const DrawDataType5* model = data->GetDrawDataType5();
    if (!record || !model)
        return;
    Xorshift128& random = *randomState;
    if (model->GetField(DrawDataType5::kLighting) && model->GetField(DrawDataType5::kSpecular)) {
        parameterEvaluator = EvaluateParameterValues;
        specularSamples.reflectance = model->GetFloat(DrawDataType5::kMtFo).SampleRandom(random);
        specularSamples.roughness = model->GetFloat(DrawDataType5::kMtRh).SampleRandom(random);
        specularSamples.metallic = model->GetFloat(DrawDataType5::kMtMl).SampleRandom(random);
    }
    const uint32_t falloffMode = model->GetField(DrawDataType5::kRimType);
    evaluatorFlag = FalloffEvaluation::IsOn(falloffMode) ? 1 : 0;
    evaluator = FalloffEvaluation::Choose<Evaluator>(falloffMode, EvaluateRenderValues,
                                                     EvaluateRenderValuesWithDirection,
                                                     EvaluateNothing);
    if (falloffMode != 0)
        FalloffEvaluation::Sample(FalloffEvaluation::PropertiesOf(*model), random, falloffSamples);
    blend = model->GetField(DrawDataType5::kMorph) != 0;
    if (blend)
        pairSample = model->GetFloat(DrawDataType5::kMrBR).SampleRandom(random);
    else
        indexSample = model->GetFloat(DrawDataType5::kMdAN).SampleRandom(random);
    screenPosition = static_cast<uint8_t>(data->GetRenderFlag());
    // A device answering no levels would wrap the top level to 2^32 - 1 and
    // send the shader far past the chain; it reads the top level instead.
    if (ITexture* reflection = textureBindings[kReflectionStage].texture)
        if (const uint32_t levels = reflection->GetLevelCount(); levels > 0)
            topReflectionLevel = static_cast<float>(levels - 1u);
    // Every switch is read whatever the format: the format only decides
    // how many layers Update evaluates.
    static constexpr const BitFieldTag* kLayerSwitches[] = {
        &DrawDataType5::kUvPass1, &DrawDataType5::kUvPass2, &DrawDataType5::kUvPass3,
        &DrawDataType5::kUvPass4, &DrawDataType5::kUvPass5, &DrawDataType5::kUvPass6};
    for (uint32_t k = 0; k < 6; ++k)
        if (model->GetField(*kLayerSwitches[k]))
            layerMask = static_cast<uint8_t>(layerMask | (1u << k));
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
    DrawColor(r->color, ownerColour, clock);
}

template <uint32_t N> void ModelDrawUnit<N>::Draw() {
    const MeshRenderRecord<N>* r = Record();
    if (!renderBlock || !r || !r->modelA || !r->modelB)
        return;
    Renderer::IssueModelDrawCommand<N>(r->modelA, r->modelB, unitShader, r->matrix, r->transforms,
                                       screenPosition, &stateWord, textureBindings, usedTextureMask,
                                       r->color, &r->polygonOffset, r->shaderParameters,
                                       evaluatorFlag ? r->falloff : nullptr, r->specular,
                                       static_cast<const float*>(ownerUnit->GetSharedBlock()));
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
