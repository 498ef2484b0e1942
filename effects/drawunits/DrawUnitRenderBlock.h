#pragma once

#include "effects/Core/Memory/UnitInstancePool.h"
#include "effects/Core/Resource/UvTransform.h"
#include "effects/Core/Value/EvaluationContext.h"

#include <cstddef>
#include <cstdint>

namespace FulgorCore {

class DrawUnit;

// The members a draw unit chose at construction, with the values they
// read, in a pool block of their own: how a property is evaluated is fixed
// by the data once, and the per-frame code calls the member without
// testing the data again. First the unit's own matrix (the identity, or the
// draw size on its diagonal) and its constant colour, then the nine members
// in the order the unit's code knows them.
//
// A block is taken with every member the do-nothing one of its kind, so a
// unit whose construction stopped half way never calls an unset member.
struct DrawUnitRenderBlock {
    // Slot k's texture index chosen from its animated value.
    using TextureKernel = void (*)(DrawUnit* unit, const EvaluationContext& context);
    // The value properties of slots 3-7 into a float array.
    using ParameterKernel = void (*)(DrawUnit* unit, const EvaluationContext& context,
                                     float* block);
    // The value properties of slots 3 and 5 into bytes 0 and 1 of a record.
    using VertexKernel = void (*)(DrawUnit* unit, const EvaluationContext& context,
                                  uint8_t* record);
    // out = in x the unit colour (and the instance tint); out and in differ.
    using ColorMember = void (*)(const DrawUnit* unit, float* out, const float* in,
                                 const EvaluationContext& context);
    // A vector scaled in place by the draw size.
    using ScaleMember = void (*)(const DrawUnit* unit, float* vector,
                                 const EvaluationContext& context);
    // out = the draw size applied to the axes of in; out and in differ.
    using MatrixMember = void (*)(const DrawUnit* unit, float* out, const float* in,
                                  const EvaluationContext& context);
    using PolygonOffsetMember = float (*)(const DrawUnit* unit);
    using ParameterGetter = float (*)(const DrawUnit* unit, const EvaluationContext& context);

    static constexpr uint32_t kTextureRandomValues = 13;
    static constexpr uint32_t kUvSets = 6;

    DrawUnitRenderBlock();

    // Four rows of three floats (three axes, then the translation); only
    // the diagonal (floats 0, 4 and 8) is ever written after this.
    float matrix[12] = {1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f};
    float colour[4] = {};
    MatrixMember scaleMatrix;
    ScaleMember scaleVector;
    ColorMember modulateColour;
    ParameterGetter aOffGetter;
    ParameterGetter aTesGetter;
    PolygonOffsetMember biasFunction;
    VertexKernel textureByteKernel;
    ParameterKernel textureValueKernel;
    TextureKernel textureSelectKernel;
    // The evaluation states the members read, drawn at construction (zero
    // for a property switched off, whose member never reads them). The two
    // constants are what the constant getters answer.
    float aOffConstant = 0.0f;
    float aTesConstant = 0.0f;
    float aOffSample = 0.0f;
    float aTesSample = 0.0f;
    float sizeSamples[3] = {};
    // Red, green, blue, alpha, brightness.
    float colorSamples[5] = {};
    // One per slot 0-2, then a texture index and a value per slot 3-7.
    float textureRandomValues[kTextureRandomValues] = {};
    float uvRandomValues[kUvSets][UvTransform::kSamples] = {};
};
static_assert(sizeof(DrawUnitRenderBlock) <= kUnitBlockSize, "the members take one pool block");
static_assert(offsetof(DrawUnitRenderBlock, colour) == 12 * sizeof(float),
              "the colour follows the matrix");
static_assert(offsetof(DrawUnitRenderBlock, scaleMatrix) == 16 * sizeof(float),
              "the members follow the matrix and the colour");
static_assert(offsetof(DrawUnitRenderBlock, textureSelectKernel) ==
                  offsetof(DrawUnitRenderBlock, scaleMatrix) + 8 * sizeof(void*),
              "nine members, one address each");

} // namespace FulgorCore
