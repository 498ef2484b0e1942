#include "effects/drawunits/DrawUnit.h"

#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Math/FloatConversion.h"
#include "effects/Core/Math/Matrix.h"
#include "effects/Core/Resource/ParticleResource.h"
#include "effects/Core/Resource/TextureSlotProperty.h"
#include "effects/Core/Value/ComputeScaledBase.h"
#include "effects/drawunits/AnimateTextureSlots.h"
#include "effects/drawunits/DrawUnitOwner.h"
#include "effects/drawunits/ParticleKernelNoOps.h"
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

// The instance tint of r, g and b: ((M - 1) wm + 1) + A wa, with the
// data's percentages read at each call.
void Tint(const DrawUnit* unit, float* out) {
    const float wm = static_cast<float>(unit->unitData->GetApLD()) * 0.01f;
    const float wa = static_cast<float>(unit->unitData->GetApLE()) * 0.01f;
    const float* multiply = unit->root->lightResultA;
    const float* add = unit->root->lightResultB;
    for (uint32_t i = 0; i < 3; ++i)
        out[i] = (((multiply[i] - 1.0f) * wm + 1.0f) + add[i] * wa) * out[i];
}

void Modulate(float* out, const float* in, const float* by) {
    for (uint32_t i = 0; i < 4; ++i)
        out[i] = in[i] * by[i];
}

// out = B x in for the axis rows, B = diag(d0, d1, d2) written as a full
// 3x3; the translation row is copied.
void MultiplyAxes(float* out, const float* b, const float* in) {
    for (uint32_t r = 0; r < 3; ++r)
        for (uint32_t c = 0; c < 3; ++c)
            out[r * 3 + c] =
                b[r * 3 + 0] * in[0 * 3 + c] + b[r * 3 + 1] * in[1 * 3 + c] + b[r * 3 + 2] * in[2 * 3 + c];
    for (uint32_t c = 0; c < 3; ++c)
        out[9 + c] = in[9 + c];
}

const TextureSlot& Slot(const ParticleResource* data, uint32_t k) {
    return *data->GetTextureSlot(k);
}

void EvaluateSize(const DrawUnit* unit, const EvaluationContext& context) {
    float s[3];
    unit->unitData->GetDrawSize().Evaluate(context, unit->renderBlock->sizeSamples,
                                           *unit->randomState, s);
    float* m = unit->renderBlock->matrix;
    m[0] = s[0];
    m[4] = s[1];
    m[8] = s[2];
}

} // namespace

template <uint32_t Mode> float DrawUnit::PolygonOffset(const DrawUnit* unit) {
    // The base alone: nothing of the data or the owner is read.
    if constexpr (Mode == 0) {
        return unit->root->rootParameter;
    } else {
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
}

const DrawUnitRenderBlock::PolygonOffsetMember DrawUnit::kPolygonOffsets[kPolygonOffsetModes] = {
    PolygonOffset<0>, PolygonOffset<1>, PolygonOffset<2>, PolygonOffset<3>, PolygonOffset<4>};

DrawUnitRenderBlock::DrawUnitRenderBlock()
    : scaleMatrix(DrawUnit::PassMatrix), scaleVector(ParticleKernel::NoOpWithTwoArguments),
      modulateColour(DrawUnit::PassColour), aOffGetter(DrawUnit::GetParameterZero),
      aTesGetter(DrawUnit::GetParameterZero), biasFunction(DrawUnit::PolygonOffset<0>),
      textureByteKernel(ParticleKernel::NoOpWithTwoArguments),
      textureValueKernel(ParticleKernel::NoOpWithTwoArguments),
      textureSelectKernel(ParticleKernel::NoOpWithArgument) {}

void DrawUnit::ScaleMatrixAnimated(const DrawUnit* unit, float* out, const float* in,
                                   const EvaluationContext& context) {
    EvaluateSize(unit, context);
    MultiplyAxes(out, unit->renderBlock->matrix, in);
}

void DrawUnit::ScaleMatrixConstant(const DrawUnit* unit, float* out, const float* in,
                                   const EvaluationContext&) {
    MultiplyAxes(out, unit->renderBlock->matrix, in);
}

void DrawUnit::PassMatrix(const DrawUnit*, float* out, const float* in,
                          const EvaluationContext&) {
    std::memcpy(out, in, 12 * sizeof(float));
}

void DrawUnit::ScaleVectorAnimated(const DrawUnit* unit, float* vector,
                                   const EvaluationContext& context) {
    EvaluateSize(unit, context);
    ScaleVectorConstant(unit, vector, context);
}

void DrawUnit::ScaleVectorConstant(const DrawUnit* unit, float* vector,
                                   const EvaluationContext&) {
    const float* m = unit->renderBlock->matrix;
    vector[0] *= m[0];
    vector[1] *= m[4];
    vector[2] *= m[8];
}

void DrawUnit::ModulateColourAnimated(const DrawUnit* unit, float* out, const float* in,
                                      const EvaluationContext& context) {
    float c[4];
    unit->unitData->GetDrawColor().Evaluate(context, unit->renderBlock->colorSamples,
                                            *unit->randomState, c);
    Modulate(out, in, c);
}

void DrawUnit::ModulateColourAnimatedTinted(const DrawUnit* unit, float* out, const float* in,
                                            const EvaluationContext& context) {
    ModulateColourAnimated(unit, out, in, context);
    Tint(unit, out);
}

void DrawUnit::ModulateColourConstant(const DrawUnit* unit, float* out, const float* in,
                                      const EvaluationContext&) {
    Modulate(out, in, unit->renderBlock->colour);
}

void DrawUnit::ModulateColourConstantTinted(const DrawUnit* unit, float* out, const float* in,
                                            const EvaluationContext& context) {
    ModulateColourConstant(unit, out, in, context);
    Tint(unit, out);
}

void DrawUnit::PassColour(const DrawUnit*, float* out, const float* in,
                          const EvaluationContext&) {
    std::memcpy(out, in, 4 * sizeof(float));
}

void DrawUnit::PassColourTinted(const DrawUnit* unit, float* out, const float* in,
                                const EvaluationContext& context) {
    PassColour(unit, out, in, context);
    Tint(unit, out);
}

void DrawUnit::EvaluateConstantSize(const EvaluationContext& context) {
    EvaluateSize(this, context);
}

DrawUnit::DrawUnit(ParticleInstance* owner, const ParticleResource* data)
    : ownerUnit(owner), root(owner->owner), ownerColour(owner->GetColor()),
      unitShader(data->GetShader()), unitData(data), package(owner->owner->package),
      // The material's texture slots, copied as they are made rather than
      // over empty ones.
      textureBindings{Slot(data, 0), Slot(data, 1), Slot(data, 2), Slot(data, 3),
                      Slot(data, 4), Slot(data, 5), Slot(data, 6), Slot(data, 7)} {
    renderBlock = static_cast<DrawUnitRenderBlock*>(Engine::GetUnitInstancePool().Allocate());
    randomState = &root->random;
    if (!renderBlock) {
        // No member can be chosen: the particle ends (once, however many of
        // its units find no block), so its passes never reach this unit's
        // update, and no later value is drawn. Nor is the material copied.
        for (TextureSlot& slot : textureBindings)
            slot = TextureSlot{};
        ownerUnit->Finish();
        return;
    }
    new (renderBlock) DrawUnitRenderBlock();
    ChooseProperties(data->GetDrawType());
    CopyMaterial();
}

DrawUnit::~DrawUnit() {
    GiveBack(renderBlock);
}

void DrawUnit::ChooseProperties(uint32_t drawType) {
    const ParticleResource& data = *unitData;
    Xorshift128& random = *randomState;
    DrawUnitRenderBlock& block = *renderBlock;
    const FloatTripleProperty& size = data.GetDrawSize();
    if (!data.GetFlagPDs()) {
        block.scaleVector = ParticleKernel::NoOpWithTwoArguments;
        block.scaleMatrix = PassMatrix;
    } else {
        size.SampleRandom(random, block.sizeSamples);
        if (size.IsConstant()) {
            block.scaleVector = ScaleVectorConstant;
            block.scaleMatrix = ScaleMatrixConstant;
            EvaluateConstantSize(kZeroClock);
        } else {
            block.scaleVector = ScaleVectorAnimated;
            block.scaleMatrix = ScaleMatrixAnimated;
        }
    }
    // One percentage alone tints nothing.
    const bool tint = data.GetApLD() > 0 && data.GetApLE() > 0;
    const ColorProperty& colour = data.GetDrawColor();
    if (!data.GetFlagPDc()) {
        block.modulateColour = tint ? PassColourTinted : PassColour;
    } else {
        colour.SampleRandom(random, block.colorSamples);
        if (colour.IsConstant()) {
            block.modulateColour = tint ? ModulateColourConstantTinted : ModulateColourConstant;
            colour.Evaluate(kZeroClock, block.colorSamples, random, block.colour);
        } else {
            block.modulateColour = tint ? ModulateColourAnimatedTinted : ModulateColourAnimated;
        }
    }
    // Alpha offset: the model type reads the raw value, every other type
    // the value scaled for its byte.
    const FloatProperty& aOff = data.GetAOff();
    if (!data.GetFlagPAo()) {
        block.aOffGetter = GetParameterZero;
    } else {
        block.aOffSample = aOff.SampleRandom(random);
        if (!aOff.IsConstant()) {
            block.aOffGetter = drawType == kModelDrawType ? GetAOff : GetAOffScaled;
        } else {
            block.aOffConstant = drawType == kModelDrawType ? GetAOff(this, kZeroClock)
                                                            : GetAOffScaled(this, kZeroClock);
            block.aOffGetter = GetAOffConstant;
        }
    }
    const FloatProperty& aTes = data.GetATes();
    if (!data.GetFlagPAt()) {
        block.aTesGetter = GetParameterZero;
    } else {
        block.aTesSample = aTes.SampleRandom(random);
        if (!aTes.IsConstant()) {
            block.aTesGetter = GetATes;
        } else {
            block.aTesConstant = GetATes(this, kZeroClock);
            block.aTesGetter = GetATesConstant;
        }
    }
    const uint32_t offsetMode = data.GetBiasMode();
    block.biasFunction = kPolygonOffsets[offsetMode < kPolygonOffsetModes ? offsetMode : 0];
}

void DrawUnit::CopyMaterial() {
    const ParticleResource& data = *unitData;
    DrawUnitRenderBlock& block = *renderBlock;
    stateWord = data.GetRenderStateWord();
    const uint32_t animated = data.GetAnimatedTextureMask();
    usedTextureMask = static_cast<uint8_t>(data.GetUsedTextureMask());
    block.textureByteKernel = ParticleKernel::kPackTextureParameters[(usedTextureMask >> 3) & 7u];
    block.textureValueKernel =
        ParticleKernel::kEvaluateTextureParameters[(usedTextureMask >> 3) & 31u];
    block.textureSelectKernel = ParticleKernel::kAnimateTextureSlots[animated & 0xFFu];
    // Every slot in use takes its draws, animated or not, so the values of
    // the slots after it do not depend on which slots were resolved at load.
    HeldRandom random(*randomState);
    for (uint32_t k = 0; k < data.GetTextureSlotCount() && k < kTextureSlots; ++k) {
        if (!(usedTextureMask & (1u << k)))
            continue;
        const TextureSlotProperty property(data, k);
        block.textureRandomValues[SelectorSample(k)] = property.GetSelector().SampleRandom(random);
        if (const FloatProperty* value = property.GetParameter())
            block.textureRandomValues[ParameterSample(k)] = value->SampleRandom(random);
    }
    // Sets past the declared count keep zero values and draw nothing.
    for (uint32_t i = 0; i < data.GetUvLayerCount() && i < DrawUnitRenderBlock::kUvSets; ++i)
        data.GetUvLayer(i)->SampleRandom(random, block.uvRandomValues[i]);
    random.End();
    uvOffsetFirstMask = static_cast<uint8_t>(data.GetTextureLayerMask());
}

DrawClock DrawUnit::OwnerClock() const {
    DrawClock clock;
    clock.timeA = ownerUnit->time;
    clock.timeB = ownerUnit->totalTime;
    clock.lastStep = ownerUnit->lastStep;
    return clock;
}

float DrawUnit::GetAOff(const DrawUnit* unit, const EvaluationContext& context) {
    return unit->unitData->GetAOff().Evaluate(context, unit->renderBlock->aOffSample,
                                              *unit->randomState);
}

float DrawUnit::GetAOffScaled(const DrawUnit* unit, const EvaluationContext& context) {
    return ScaleAlphaOffset(GetAOff(unit, context));
}

float DrawUnit::GetAOffConstant(const DrawUnit* unit, const EvaluationContext&) {
    return unit->renderBlock->aOffConstant;
}

float DrawUnit::GetATes(const DrawUnit* unit, const EvaluationContext& context) {
    return unit->unitData->GetATes().Evaluate(context, unit->renderBlock->aTesSample,
                                              *unit->randomState);
}

float DrawUnit::GetATesConstant(const DrawUnit* unit, const EvaluationContext&) {
    return unit->renderBlock->aTesConstant;
}

float DrawUnit::GetParameterZero(const DrawUnit*, const EvaluationContext&) {
    return 0.0f;
}

void DrawUnit::EvaluateMatrix(float* out, const EvaluationContext& context) const {
    renderBlock->scaleMatrix(this, out, ownerUnit->GetWorldMatrix(), context);
}

void DrawUnit::EvaluateVertexParameters(uint8_t* record, const EvaluationContext& context) {
    // Most parts animate no texture and have no distortion or palette
    // slot: their kernels are the empty ones, not worth the calls.
    const DrawUnitRenderBlock::TextureKernel select = renderBlock->textureSelectKernel;
    if (select != DrawUnitRenderBlock::TextureKernel{ParticleKernel::NoOpWithArgument})
        select(this, context);
    const DrawUnitRenderBlock::VertexKernel bytes = renderBlock->textureByteKernel;
    if (bytes != DrawUnitRenderBlock::VertexKernel{ParticleKernel::NoOpWithTwoArguments})
        bytes(this, context, record);
    EvaluateByteParameters(record, context);
}

void DrawUnit::EvaluateMeshParameters(float* polygonOffset, float* shaderParameters,
                                      const EvaluationContext& context) {
    *polygonOffset = GetPolygonOffset();
    shaderParameters[6] = renderBlock->aOffGetter(this, context) * (1.0f / 255.0f);
    shaderParameters[7] = renderBlock->aTesGetter(this, context) * (1.0f / 255.0f);
    renderBlock->textureSelectKernel(this, context);
    renderBlock->textureValueKernel(this, context, shaderParameters);
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
