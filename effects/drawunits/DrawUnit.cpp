#include "effects/drawunits/DrawUnit.h"

#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Math/FloatConversion.h"
#include "effects/Core/Math/Matrix.h"
#include "effects/Core/Resource/ParticleResource.h"
#include "effects/Core/Resource/TextureSlotProperty.h"
#include "effects/Core/Value/ComputeScaledBase.h"
#include "effects/drawunits/AnimateTextureSlots.h"
#include "effects/drawunits/DrawUnitOwner.h"
#include "effects/drawunits/DrawUnitRenderBlock.h"
#include "effects/drawunits/TextureParameterKernels.h"
#include "effects/drawunits/UvTransformKernels.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/ParticleInstance.h"
#include "effects/units/ViewFade.h"

#include <cstring>

namespace FulgorCore {

namespace {

constexpr uint32_t kModelDrawType = 5;

// An alpha offset of -1..1 travels as 0..254 in its byte.
float ScaleAlphaOffset(float v) {
    return 127.0f * (v + 1.0f);
}

// A colour whose channels the file never gave (no value record) leaves the
// owner's colour as it is.
bool ColorIsAbsent(const ColorProperty& color) {
    for (uint32_t c = ColorProperty::kRed; c <= ColorProperty::kBrightness; ++c)
        if (color.GetChannel(static_cast<ColorProperty::Channel>(c)).GetKind() !=
            FloatProperty::kNone)
            return false;
    return color.GetGradient().GetKeyCount() == 0;
}

void OwnerColor(const DrawUnit*, float* out, const float* ownerColor, const EvaluationContext&) {
    std::memcpy(out, ownerColor, 4 * sizeof(float));
}

void DataColorTimesOwner(const DrawUnit* unit, float* out, const float* ownerColor,
                         const EvaluationContext& context) {
    float c[4];
    unit->unitData->GetDrawColor().Evaluate(context, unit->renderBlock->colorSamples,
                                            *unit->randomState, c);
    for (uint32_t i = 0; i < 4; ++i)
        out[i] = c[i] * ownerColor[i];
}

void KeepScale(const DrawUnit*, float*, const EvaluationContext&) {}

void DataScale(const DrawUnit* unit, float* vector, const EvaluationContext& context) {
    float s[3];
    unit->unitData->GetDrawSize().Evaluate(context, unit->renderBlock->sizeSamples,
                                           *unit->randomState, s);
    for (uint32_t i = 0; i < 3; ++i)
        vector[i] *= s[i];
}

} // namespace

template <uint32_t Mode> float DrawUnit::PolygonOffset(const DrawUnit* unit) {
    ScaledBaseInput in;
    in.instanceParameter = unit->root->rootParameter;
    in.dataValue = unit->unitData->GetBias();
    in.distanceFactor = unit->unitData->GetBiasScale();
    float scale[3] = {1.0f, 1.0f, 1.0f};
    if constexpr (Mode == 2 || Mode == 4) {
        unit->ownerUnit->GetVector0(scale);
        in.ownerScale = scale;
    }
    if constexpr (Mode >= 3) {
        in.cameraPosition = ViewFade::CameraPosition();
        in.ownerTranslation = DrawUnitOwner::Position(unit->ownerUnit);
    }
    return ComputeScaledBase(Mode, in);
}

const DrawUnitRenderBlock::PolygonOffsetMember DrawUnit::kPolygonOffsets[kPolygonOffsetModes] = {
    PolygonOffset<0>, PolygonOffset<1>, PolygonOffset<2>, PolygonOffset<3>, PolygonOffset<4>};

void DrawUnit::PassMatrix(const DrawUnit*, float* out, const float* ownerMatrix,
                          const EvaluationContext&) {
    std::memcpy(out, ownerMatrix, 12 * sizeof(float));
}

void DrawUnit::ScaleMatrix(const DrawUnit* unit, float* out, const float* ownerMatrix,
                           const EvaluationContext& context) {
    float* m = unit->renderBlock->matrix;
    float s[3] = {1.0f, 1.0f, 1.0f};
    unit->Scale(s, context);
    m[0] = s[0];
    m[4] = s[1];
    m[8] = s[2];
    Math::Matrix34Multiply(out, m, ownerMatrix);
}

DrawUnit::DrawUnit(ParticleInstance* owner, const ParticleResource* data)
    : randomState(&owner->owner->random), ownerUnit(owner), root(owner->owner),
      package(owner->owner->package), unitData(data) {
    renderBlock = static_cast<DrawUnitRenderBlock*>(Engine::GetUnitInstancePool().Allocate());
    if (!renderBlock) {
        // No member can be chosen: the particle ends, so its passes never
        // reach this unit's update.
        ownerUnit->Finish();
    }
    unitShader = data->GetShader();
    stateWord = data->GetRenderStateWord();
    for (uint32_t k = 0; k < kTextureSlots; ++k)
        textureBindings[k] = *data->GetTextureSlot(k);
    usedTextureMask = static_cast<uint8_t>(data->GetUsedTextureMask());
    uvOffsetFirstMask = static_cast<uint8_t>(data->GetTextureLayerMask());
    if (renderBlock) {
        new (renderBlock) DrawUnitRenderBlock{};
        renderBlock->textureKernel =
            ParticleKernel::kAnimateTextureSlots[data->GetAnimatedTextureMask()];
        renderBlock->textureParameterKernel =
            ParticleKernel::kEvaluateTextureParameters[(usedTextureMask >> 3) & 31u];
        renderBlock->vertexParameterKernel =
            ParticleKernel::kPackTextureParameters[(usedTextureMask >> 3) & 7u];
        ChooseMembers(data->GetDrawType());
    }
    // Without a block the values are still drawn, so the units built after
    // this one get the values they would have had.
    DrawUnitRenderBlock scratch{};
    DrawUnitRenderBlock& values = renderBlock ? *renderBlock : scratch;
    // Every used slot takes its draws, animated or not, so the values of
    // the slots after it do not depend on which slots were resolved at load.
    for (uint32_t k = 0; k < data->GetTextureSlotCount() && k < kTextureSlots; ++k) {
        if (!(usedTextureMask & (1u << k)))
            continue;
        const TextureSlotProperty property(*data, k);
        values.textureRandomValues[SelectorSample(k)] =
            property.GetSelector().SampleRandom(*randomState);
        if (const FloatProperty* parameter = property.GetParameter())
            values.textureRandomValues[ParameterSample(k)] = parameter->SampleRandom(*randomState);
    }
    // Sets past the declared count keep zero values and draw nothing.
    for (uint32_t i = 0; i < data->GetUvLayerCount() && i < DrawUnitRenderBlock::kUvSets; ++i)
        data->GetUvLayer(i)->SampleRandom(*randomState, values.uvRandomValues[i]);
}

DrawUnit::~DrawUnit() {
    if (renderBlock)
        Engine::GetUnitInstancePool().Free(renderBlock);
}

void DrawUnit::ChooseMembers(uint32_t drawType) {
    const ParticleResource& data = *unitData;
    Xorshift128& random = *randomState;
    const EvaluationContext atStart{};
    // Alpha offset: the model type reads the raw value, every other type
    // the value scaled for its byte.
    const FloatProperty& aOff = data.GetAOff();
    if (!data.GetFlagPAo()) {
        renderBlock->alphaOffsetMember = GetParameterZero;
    } else {
        renderBlock->alphaOffsetSample = aOff.SampleRandom(random);
        if (!aOff.IsConstant()) {
            renderBlock->alphaOffsetMember = drawType == kModelDrawType ? GetAOff : GetAOffScaled;
        } else {
            const float v = aOff.Evaluate(atStart, renderBlock->alphaOffsetSample, random);
            renderBlock->alphaOffsetConstant = drawType == kModelDrawType ? v : ScaleAlphaOffset(v);
            renderBlock->alphaOffsetMember = GetAOffConstant;
        }
    }
    const FloatProperty& aTes = data.GetATes();
    if (!data.GetFlagPAt()) {
        renderBlock->alphaThresholdMember = GetParameterZero;
    } else {
        renderBlock->alphaThresholdSample = aTes.SampleRandom(random);
        if (!aTes.IsConstant()) {
            renderBlock->alphaThresholdMember = GetATes;
        } else {
            renderBlock->alphaThresholdConstant =
                aTes.Evaluate(atStart, renderBlock->alphaThresholdSample, random);
            renderBlock->alphaThresholdMember = GetATesConstant;
        }
    }
    if (ColorIsAbsent(data.GetDrawColor())) {
        renderBlock->drawColorMember = OwnerColor;
    } else {
        data.GetDrawColor().SampleRandom(random, renderBlock->colorSamples);
        renderBlock->drawColorMember = DataColorTimesOwner;
    }
    const FloatTripleProperty& size = data.GetDrawSize();
    if (size.IsOne() || size.GetX().GetKind() == FloatProperty::kNone) {
        renderBlock->scaleMember = KeepScale;
    } else {
        size.SampleRandom(random, renderBlock->sizeSamples);
        renderBlock->scaleMember = DataScale;
    }
    renderBlock->matrixMember = renderBlock->scaleMember == KeepScale ? PassMatrix : ScaleMatrix;
    const uint32_t offsetMode = data.GetBiasMode();
    renderBlock->polygonOffsetMember =
        kPolygonOffsets[offsetMode < kPolygonOffsetModes ? offsetMode : 0];
}

DrawClock DrawUnit::OwnerClock() const {
    DrawClock clock;
    clock.timeA = ownerUnit->time;
    clock.timeB = ownerUnit->totalTime;
    clock.lastStep = ownerUnit->lastStep;
    return clock;
}

float DrawUnit::GetAOff(const DrawUnit* unit, const EvaluationContext& context) {
    return unit->unitData->GetAOff().Evaluate(context, unit->renderBlock->alphaOffsetSample,
                                              *unit->randomState);
}

float DrawUnit::GetAOffScaled(const DrawUnit* unit, const EvaluationContext& context) {
    return ScaleAlphaOffset(GetAOff(unit, context));
}

float DrawUnit::GetAOffConstant(const DrawUnit* unit, const EvaluationContext&) {
    return unit->renderBlock->alphaOffsetConstant;
}

float DrawUnit::GetATes(const DrawUnit* unit, const EvaluationContext& context) {
    return unit->unitData->GetATes().Evaluate(context, unit->renderBlock->alphaThresholdSample,
                                              *unit->randomState);
}

float DrawUnit::GetATesConstant(const DrawUnit* unit, const EvaluationContext&) {
    return unit->renderBlock->alphaThresholdConstant;
}

float DrawUnit::GetParameterZero(const DrawUnit*, const EvaluationContext&) {
    return 0.0f;
}

void DrawUnit::EvaluateByteParameters(uint8_t* record, const EvaluationContext& context) const {
    record[2] = static_cast<uint8_t>(
        Math::TruncateToInt64(renderBlock->alphaOffsetMember(this, context)) & 0xFF);
    record[3] = static_cast<uint8_t>(
        Math::TruncateToInt64(renderBlock->alphaThresholdMember(this, context)) & 0xFF);
}

void DrawUnit::DrawColor(float* out, const float* ownerColor,
                         const EvaluationContext& context) const {
    renderBlock->drawColorMember(this, out, ownerColor, context);
}

void DrawUnit::Scale(float* vector, const EvaluationContext& context) const {
    renderBlock->scaleMember(this, vector, context);
}

void DrawUnit::EvaluateMatrix(float* out, const EvaluationContext& context) const {
    renderBlock->matrixMember(this, out, ownerUnit->GetWorldMatrix(), context);
}

float DrawUnit::GetPolygonOffset() const {
    return renderBlock->polygonOffsetMember(this);
}

void DrawUnit::EvaluateVertexParameters(uint8_t* record, const EvaluationContext& context) {
    renderBlock->textureKernel(this, context);
    renderBlock->vertexParameterKernel(this, context, record);
    EvaluateByteParameters(record, context);
}

void DrawUnit::EvaluateMeshParameters(float* polygonOffset, float* shaderParameters,
                                      const EvaluationContext& context) {
    *polygonOffset = GetPolygonOffset();
    shaderParameters[6] = renderBlock->alphaOffsetMember(this, context) * (1.0f / 255.0f);
    shaderParameters[7] = renderBlock->alphaThresholdMember(this, context) * (1.0f / 255.0f);
    renderBlock->textureKernel(this, context);
    renderBlock->textureParameterKernel(this, context, shaderParameters);
}

template <uint32_t N>
void DrawUnit::EvaluateCentredTransforms(float* out, const EvaluationContext& context) {
    if constexpr (N > 0) {
        ParticleKernel::EvaluateUvTransforms<N>(this, out, context, uvOffsetFirstMask);
        for (uint32_t row = 0; row < 2 * N; ++row)
            out[row * 4 + 3] += 0.5f;
    }
}

template void DrawUnit::EvaluateCentredTransforms<0>(float*, const EvaluationContext&);
template void DrawUnit::EvaluateCentredTransforms<1>(float*, const EvaluationContext&);
template void DrawUnit::EvaluateCentredTransforms<2>(float*, const EvaluationContext&);
template void DrawUnit::EvaluateCentredTransforms<3>(float*, const EvaluationContext&);
template void DrawUnit::EvaluateCentredTransforms<4>(float*, const EvaluationContext&);
template void DrawUnit::EvaluateCentredTransforms<5>(float*, const EvaluationContext&);
template void DrawUnit::EvaluateCentredTransforms<6>(float*, const EvaluationContext&);

void* DrawUnit::TakeBlock() {
    void* block = Engine::GetUnitInstancePool().Allocate();
    if (!block)
        ownerUnit->Finish();
    return block;
}

void DrawUnit::GiveBack(void* block) {
    if (block)
        Engine::GetUnitInstancePool().Free(block);
}

} // namespace FulgorCore
