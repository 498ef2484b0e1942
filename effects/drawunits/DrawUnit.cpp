#include "effects/drawunits/DrawUnit.h"

#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Math/FloatConversion.h"
#include "effects/Core/Resource/ParticleResource.h"
#include "effects/Core/Resource/TextureSlotProperty.h"
#include "effects/Core/Value/ComputeScaledBase.h"
#include "effects/drawunits/AnimateTextureSlots.h"
#include "effects/drawunits/DrawUnitOps.h"
#include "effects/drawunits/TextureParameterKernels.h"
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
    unit->unitData->GetDrawColor().Evaluate(context, unit->ops->colorSamples, *unit->randomState,
                                            c);
    for (uint32_t i = 0; i < 4; ++i)
        out[i] = c[i] * ownerColor[i];
}

void KeepScale(const DrawUnit*, float*, const EvaluationContext&) {}

void DataScale(const DrawUnit* unit, float* vector, const EvaluationContext& context) {
    float s[3];
    unit->unitData->GetDrawSize().Evaluate(context, unit->ops->sizeSamples, *unit->randomState, s);
    for (uint32_t i = 0; i < 3; ++i)
        vector[i] *= s[i];
}

// The vertices' fourth position component: the unit's base value by the
// scale mode of its data, from the instance's parameter (the host's, as the
// root copied it this frame), the data's "DBis" and "DBDS", the owner's
// scale and its distance from the camera.
float ScaledBase(const DrawUnit* unit) {
    float scale[3];
    unit->ownerUnit->GetVector0(scale);
    ScaledBaseInput input;
    input.instanceParameter = unit->root->rootParameter;
    input.dataValue = unit->unitData->GetBias();
    input.ownerScale = scale;
    input.distanceFactor = unit->unitData->GetBiasScale();
    input.cameraPosition = ViewFade::CameraPosition();
    input.ownerTranslation = unit->ownerUnit->GetWorldMatrix() + 9;
    return ComputeScaledBase(unit->unitData->GetBiasMode(), input);
}

} // namespace

DrawUnit::DrawUnit(ParticleInstance* owner, const ParticleResource* data)
    : randomState(&owner->owner->random), ownerUnit(owner), root(owner->owner),
      package(owner->owner->package), unitData(data) {
    ops = static_cast<DrawUnitOps*>(Engine::GetUnitInstancePool().Allocate());
    if (!ops) {
        // No member can be chosen: the particle ends, so its passes never
        // reach this unit's update.
        ownerUnit->Finish();
    }
    stateWord = data->GetRenderStateWord();
    for (uint32_t k = 0; k < kTextureSlots; ++k)
        textureBindings[k] = *data->GetTextureSlot(k);
    usedTextureMask = static_cast<uint8_t>(data->GetUsedTextureMask());
    uvOffsetFirstMask = static_cast<uint8_t>(data->GetTextureLayerMask());
    if (ops) {
        new (ops) DrawUnitOps{};
        ops->textureKernel = ParticleKernel::kAnimateTextureSlots[data->GetAnimatedTextureMask()];
        ops->textureParameterKernel =
            ParticleKernel::kEvaluateTextureParameters[(usedTextureMask >> 3) & 31u];
        ops->vertexParameterKernel =
            ParticleKernel::kPackTextureParameters[(usedTextureMask >> 3) & 7u];
        ChooseMembers(data->GetDrawType());
    }
    // Without a block the values are still drawn, so the units built after
    // this one get the values they would have had.
    DrawUnitOps scratch{};
    DrawUnitOps& values = ops ? *ops : scratch;
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
    for (uint32_t i = 0; i < data->GetUvLayerCount() && i < DrawUnitOps::kUvSets; ++i)
        data->GetUvLayer(i)->SampleRandom(*randomState, values.uvRandomValues[i]);
}

DrawUnit::~DrawUnit() {
    if (ops)
        Engine::GetUnitInstancePool().Free(ops);
}

void DrawUnit::ChooseMembers(uint32_t drawType) {
    const ParticleResource& data = *unitData;
    Xorshift128& random = *randomState;
    const EvaluationContext atStart{};
    // Alpha offset: the model type reads the raw value, every other type
    // the value scaled for its byte.
    const FloatProperty& aOff = data.GetAOff();
    if (!data.GetFlagPAo()) {
        ops->alphaOffsetMember = GetParameterZero;
    } else {
        ops->alphaOffsetSample = aOff.SampleRandom(random);
        if (!aOff.IsConstant()) {
            ops->alphaOffsetMember = drawType == kModelDrawType ? GetAOff : GetAOffScaled;
        } else {
            const float v = aOff.Evaluate(atStart, ops->alphaOffsetSample, random);
            ops->alphaOffsetConstant = drawType == kModelDrawType ? v : ScaleAlphaOffset(v);
            ops->alphaOffsetMember = GetAOffConstant;
        }
    }
    const FloatProperty& aTes = data.GetATes();
    if (!data.GetFlagPAt()) {
        ops->alphaThresholdMember = GetParameterZero;
    } else {
        ops->alphaThresholdSample = aTes.SampleRandom(random);
        if (!aTes.IsConstant()) {
            ops->alphaThresholdMember = GetATes;
        } else {
            ops->alphaThresholdConstant = aTes.Evaluate(atStart, ops->alphaThresholdSample, random);
            ops->alphaThresholdMember = GetATesConstant;
        }
    }
    if (ColorIsAbsent(data.GetDrawColor())) {
        ops->drawColorMember = OwnerColor;
    } else {
        data.GetDrawColor().SampleRandom(random, ops->colorSamples);
        ops->drawColorMember = DataColorTimesOwner;
    }
    const FloatTripleProperty& size = data.GetDrawSize();
    if (size.IsOne() || size.GetX().GetKind() == FloatProperty::kNone) {
        ops->scaleMember = KeepScale;
    } else {
        size.SampleRandom(random, ops->sizeSamples);
        ops->scaleMember = DataScale;
    }
    ops->positionWMember = ScaledBase;
}

DrawClock DrawUnit::OwnerClock() const {
    DrawClock clock;
    clock.timeA = ownerUnit->time;
    clock.timeB = ownerUnit->totalTime;
    clock.lastStep = ownerUnit->lastStep;
    return clock;
}

float DrawUnit::GetAOff(const DrawUnit* unit, const EvaluationContext& context) {
    return unit->unitData->GetAOff().Evaluate(context, unit->ops->alphaOffsetSample,
                                              *unit->randomState);
}

float DrawUnit::GetAOffScaled(const DrawUnit* unit, const EvaluationContext& context) {
    return ScaleAlphaOffset(GetAOff(unit, context));
}

float DrawUnit::GetAOffConstant(const DrawUnit* unit, const EvaluationContext&) {
    return unit->ops->alphaOffsetConstant;
}

float DrawUnit::GetATes(const DrawUnit* unit, const EvaluationContext& context) {
    return unit->unitData->GetATes().Evaluate(context, unit->ops->alphaThresholdSample,
                                              *unit->randomState);
}

float DrawUnit::GetATesConstant(const DrawUnit* unit, const EvaluationContext&) {
    return unit->ops->alphaThresholdConstant;
}

float DrawUnit::GetParameterZero(const DrawUnit*, const EvaluationContext&) {
    return 0.0f;
}

void DrawUnit::EvaluateByteParameters(uint8_t* record, const EvaluationContext& context) const {
    record[2] =
        static_cast<uint8_t>(Math::TruncateToInt64(ops->alphaOffsetMember(this, context)) & 0xFF);
    record[3] = static_cast<uint8_t>(
        Math::TruncateToInt64(ops->alphaThresholdMember(this, context)) & 0xFF);
}

void DrawUnit::DrawColor(float* out, const float* ownerColor,
                         const EvaluationContext& context) const {
    ops->drawColorMember(this, out, ownerColor, context);
}

void DrawUnit::Scale(float* vector, const EvaluationContext& context) const {
    ops->scaleMember(this, vector, context);
}

float DrawUnit::PositionW() const {
    return ops->positionWMember(this);
}

} // namespace FulgorCore
