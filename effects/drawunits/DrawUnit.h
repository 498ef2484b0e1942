#pragma once

#include "effects/Core/Math/FloatConversion.h"
#include "effects/Core/Memory/UnitInstancePool.h"
#include "effects/Core/Noise/Xorshift128.h"
#include "effects/Core/Value/EvaluationContext.h"
#include "effects/drawunits/DrawClock.h"
#include "effects/render/TextureSlot.h"
#include "effects/drawunits/DrawUnitRenderBlock.h"
#include "effects/drawunits/ParticleKernelNoOps.h"
#include "effects/units/ParticleDrawPart.h"

#include <cstdint>

namespace FulgorCore {

class IShader;
class InstanceRootUnit;
class PackageResource;
class ParticleInstance;
class ParticleResource;

// The drawn part of a particle: what every draw type shares. The base
// keeps the owner, the data and the texture set-up copied from the data,
// and in a pool block of its own the members chosen from the data (the
// texture kernels, the colour, scale, matrix and polygon-offset members and
// the alpha getters) with the unit random values they read (those of the
// texture slots and texture-coordinate sets among them). A unit that gets
// no block for its members ends its particle and never calls a member.
//
// Its virtual operations, in order: the destructor, the hook the particle
// runs in its own step (Step), Update, Draw, and a last one that does
// nothing in every class.
class DrawUnit : public ParticleDrawPart {
public:
    static constexpr uint32_t kTextureSlots = 8;

    DrawUnit(ParticleInstance* owner, const ParticleResource* data);
    DrawUnit(const DrawUnit&) = delete;
    DrawUnit& operator=(const DrawUnit&) = delete;
    // Gives back the members' block.
    ~DrawUnit() override;
    // The particle's transform step: the frame's values from a copy of its
    // clock.
    void Update(const DrawClock& clock) override = 0;
    // Reserves the frame's geometry and hands its command over.
    void Draw() override = 0;
    virtual void Spare() {}

    // The particle's clock as the draw units' update takes it.
    DrawClock OwnerClock() const;
    InstanceRootUnit* Root() const { return root; }
    const PackageResource* Package() const { return package; }

    // Slot k's selector value and, on slots 3-7, its parameter value.
    static constexpr uint32_t SelectorSample(uint32_t slot) {
        return slot < 3 ? slot : 3 + (slot - 3) * 2;
    }
    static constexpr uint32_t ParameterSample(uint32_t slot) { return SelectorSample(slot) + 1; }

    // The alpha getters; the choice between them is the constructor's.
    static float GetAOff(const DrawUnit* unit, const EvaluationContext& context);
    static float GetAOffScaled(const DrawUnit* unit, const EvaluationContext& context);
    static float GetAOffConstant(const DrawUnit* unit, const EvaluationContext& context);
    static float GetATes(const DrawUnit* unit, const EvaluationContext& context);
    static float GetATesConstant(const DrawUnit* unit, const EvaluationContext& context);
    static float GetParameterZero(const DrawUnit* unit, const EvaluationContext& context);
    // Bytes 2 and 3 of a vertex parameter record: the low bytes of the
    // alpha offset and threshold, truncated toward zero.
    void EvaluateByteParameters(uint8_t* record, const EvaluationContext& context) const {
        record[2] = ParameterByte(renderBlock->aOffGetter, GetAOffConstant,
                                  renderBlock->aOffConstant, context);
        record[3] = ParameterByte(renderBlock->aTesGetter, GetATesConstant,
                                  renderBlock->aTesConstant, context);
    }

    // The members through which the per-frame code reaches the draw size,
    // colour and polygon offset: the draw colour of the frame (the owner's
    // colour times the unit's, tinted), the size scaling, the unit's world
    // matrix from the owner's, and the polygon offset every vertex of the
    // unit carries.
    //
    // Most draw parts have neither a draw colour nor a draw size: their
    // members are the pass-through ones, done here without the call.
    //
    // DrawColorOf answers the draw colour where it lies: with the
    // pass-through member the owner's colour itself, else `scratch` filled
    // by the member. DrawColor copies it to `out`.
    const float* DrawColorOf(float* scratch, const float* ownerColor,
                             const EvaluationContext& context) const {
        const DrawUnitRenderBlock::ColorMember member = renderBlock->modulateColour;
        if (member == PassColour)
            return ownerColor;
        member(this, scratch, ownerColor, context);
        return scratch;
    }
    void DrawColor(float* out, const float* ownerColor, const EvaluationContext& context) const {
        const float* color = DrawColorOf(out, ownerColor, context);
        if (color != out)
            for (uint32_t i = 0; i < 4; ++i)
                out[i] = color[i];
    }
    void Scale(float* vector, const EvaluationContext& context) const {
        const DrawUnitRenderBlock::ScaleMember member = renderBlock->scaleVector;
        if (member != DrawUnitRenderBlock::ScaleMember{ParticleKernel::NoOpWithTwoArguments})
            member(this, vector, context);
    }
    void EvaluateMatrix(float* out, const EvaluationContext& context) const;
    // Inline: every geometry write asks for it.
    float GetPolygonOffset() const { return renderBlock->biasFunction(this); }

    // The polygon offsets by the data's mode, with base the instance's
    // parameter, d the data's offset, m the largest of the owner's scale,
    // and F = max(1, camera distance x the data's distance factor): 0 base,
    // 1 base + d, 2 (base + d) m, 3 (base + d) F, 4 (base + d) m F.
    static constexpr uint32_t kPolygonOffsetModes = 5;
    template <uint32_t Mode> static float PolygonOffset(const DrawUnit* unit);
    static const DrawUnitRenderBlock::PolygonOffsetMember kPolygonOffsets[kPolygonOffsetModes];

    // The size members. B is the block's 3x3 part, the size on its
    // diagonal: out = B x in with in's translation kept, or v[i] *= B[i][i].
    // The animated forms evaluate the size into the diagonal first (each
    // call again); the constant forms read what construction wrote.
    static void ScaleMatrixAnimated(const DrawUnit* unit, float* out, const float* in,
                                    const EvaluationContext& context);
    static void ScaleMatrixConstant(const DrawUnit* unit, float* out, const float* in,
                                    const EvaluationContext& context);
    static void PassMatrix(const DrawUnit* unit, float* out, const float* in,
                           const EvaluationContext& context);
    static void ScaleVectorAnimated(const DrawUnit* unit, float* vector,
                                    const EvaluationContext& context);
    static void ScaleVectorConstant(const DrawUnit* unit, float* vector,
                                    const EvaluationContext& context);
    // The colour members: out = in x the evaluated colour, in x the block's
    // constant colour, or in; the tinted forms then take the instance's
    // light: for r, g, b, out x (((M - 1) wm + 1) + A wa), with M and A the
    // root's multiply and add colours and wm, wa the data's percentages
    // over 100. Alpha is never tinted.
    static void ModulateColourAnimated(const DrawUnit* unit, float* out, const float* in,
                                       const EvaluationContext& context);
    static void ModulateColourAnimatedTinted(const DrawUnit* unit, float* out, const float* in,
                                             const EvaluationContext& context);
    static void ModulateColourConstant(const DrawUnit* unit, float* out, const float* in,
                                       const EvaluationContext& context);
    static void ModulateColourConstantTinted(const DrawUnit* unit, float* out, const float* in,
                                             const EvaluationContext& context);
    static void PassColour(const DrawUnit* unit, float* out, const float* in,
                           const EvaluationContext& context);
    static void PassColourTinted(const DrawUnit* unit, float* out, const float* in,
                                 const EvaluationContext& context);
    // A constant size into the block's diagonal, once, at construction.
    void EvaluateConstantSize(const EvaluationContext& context);

    // The per-vertex parameters of generated geometry: the channel kernel,
    // the vertex-parameter kernel into bytes 0 and 1, the alpha bytes.
    void EvaluateVertexParameters(uint8_t* record, const EvaluationContext& context);
    // The N texture transforms (none for N = 0), each row's translation
    // moved by 0.5 so centred coordinates map to 0..1.
    template <uint32_t N>
    void EvaluateCentredTransforms(float* out, const EvaluationContext& context);
    // Both, once per frame, for the trails: the parameters record and the
    // 2x4 matrices of the N layers.
    template <uint32_t N>
    void EvaluateRenderRecord(float* transforms, uint8_t* parameters,
                              const EvaluationContext& context);

    // What the mesh records take first: the polygon offset, the alpha
    // offset and threshold over 255 into shader parameters 6 and 7, the
    // channel kernel, the shader-parameter kernel.
    void EvaluateMeshParameters(float* polygonOffset, float* shaderParameters,
                                const EvaluationContext& context);

    // A pool block for a record of the unit; without one the particle ends.
    void* TakeBlock();
    static void GiveBack(void* block);

    // What every frame reads first, together in the object's first cache
    // line: the texture masks, the members, the random state, the owner,
    // the instance's root, the owner's colour and the data's shader (null
    // when the device made none: the unit's batches are still recorded with
    // it). The root, the package, the random state and the colour (the
    // owner's transform block's) are fixed for the unit's life, so kept
    // here rather than fetched through the owner. The data (read each frame
    // only by the members of properties that are on and by the strips and
    // trails), the package (read only by units that choose textures) and the
    // bindings follow.
    uint8_t usedTextureMask = 0;
    uint8_t uvOffsetFirstMask = 0;
    DrawUnitRenderBlock* renderBlock = nullptr;
    Xorshift128* randomState;
    ParticleInstance* ownerUnit;
    InstanceRootUnit* root;
    const float* ownerColour;
    const IShader* unitShader = nullptr;
    const ParticleResource* unitData;
    const PackageResource* package;
    TextureSlot textureBindings[kTextureSlots];

private:
    // A parameter byte through its getter; switched off (0) and constant
    // values are read without the call.
    uint8_t ParameterByte(DrawUnitRenderBlock::ParameterGetter getter,
                          DrawUnitRenderBlock::ParameterGetter constantGetter, float constant,
                          const EvaluationContext& context) const {
        if (getter == GetParameterZero)
            return 0;
        const float v = getter == constantGetter ? constant : getter(this, context);
        return static_cast<uint8_t>(Math::TruncateToInt64(v) & 0xFF);
    }

    // The members and the evaluation states of the size, colour, alpha
    // offset and threshold, in that order of random draws.
    void ChooseProperties(uint32_t drawType);
    // The material, the kernels and the states of the texture slots in use
    // and of the texture-coordinate sets.
    void CopyMaterial();
};
static_assert(sizeof(DrawUnit) <= kUnitBlockSize, "the base leaves room for every draw type");

// Every vertex format of a draw-unit class fits one pool block.
template <template <uint32_t> class Unit> constexpr bool EveryFormatFitsABlock() {
    return sizeof(Unit<0>) <= kUnitBlockSize && sizeof(Unit<1>) <= kUnitBlockSize &&
           sizeof(Unit<2>) <= kUnitBlockSize && sizeof(Unit<3>) <= kUnitBlockSize &&
           sizeof(Unit<4>) <= kUnitBlockSize && sizeof(Unit<5>) <= kUnitBlockSize &&
           sizeof(Unit<6>) <= kUnitBlockSize;
}

} // namespace FulgorCore
