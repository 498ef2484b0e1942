#pragma once

#include "effects/Core/Memory/UnitInstancePool.h"
#include "effects/Core/Resource/UvTransform.h"
#include "effects/Core/Value/EvaluationContext.h"

#include <cstdint>

namespace FulgorCore {

class DrawUnit;

// The members a draw unit chose at construction, with the values they
// read, in a pool block of their own: what a kernel or getter does is fixed
// by the data once, and the per-frame code calls the member without
// testing the data again. The matrix is the unit's own transform (the
// identity, or the draw size on its diagonal), which the matrix member
// combines with the owner's.
struct DrawUnitRenderBlock {
    using TextureKernel = void (*)(DrawUnit* unit, const EvaluationContext& context);
    using ParameterKernel = void (*)(DrawUnit* unit, const EvaluationContext& context,
                                     float* block);
    using VertexKernel = void (*)(DrawUnit* unit, const EvaluationContext& context,
                                  uint8_t* record);
    using ColorMember = void (*)(const DrawUnit* unit, float* out, const float* ownerColor,
                                 const EvaluationContext& context);
    using ScaleMember = void (*)(const DrawUnit* unit, float* vector,
                                 const EvaluationContext& context);
    using MatrixMember = void (*)(const DrawUnit* unit, float* out, const float* ownerMatrix,
                                  const EvaluationContext& context);
    using PolygonOffsetMember = float (*)(const DrawUnit* unit);
    using ParameterGetter = float (*)(const DrawUnit* unit, const EvaluationContext& context);

    TextureKernel textureKernel;
    ParameterKernel textureParameterKernel;
    VertexKernel vertexParameterKernel;
    ColorMember drawColorMember;
    ScaleMember scaleMember;
    MatrixMember matrixMember;
    PolygonOffsetMember polygonOffsetMember;
    ParameterGetter alphaOffsetMember;
    ParameterGetter alphaThresholdMember;
    // The alpha terms: unit random value and, for a constant property, the
    // value the constant getter answers.
    float alphaOffsetSample = 0.0f;
    float alphaOffsetConstant = 0.0f;
    float alphaThresholdSample = 0.0f;
    float alphaThresholdConstant = 0.0f;
    // Unit random values of the draw colour (red, green, blue, alpha,
    // brightness) and of the draw size.
    float colorSamples[5] = {};
    float sizeSamples[3] = {};
    float matrix[12] = {1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f};
    // The texture slots' values: one per slot 0-2, then a selector and a
    // parameter value per slot 3-7; five per texture-coordinate set.
    static constexpr uint32_t kTextureRandomValues = 13;
    static constexpr uint32_t kUvSets = 6;
    float textureRandomValues[kTextureRandomValues] = {};
    float uvRandomValues[kUvSets][UvTransform::kSamples] = {};
};
static_assert(sizeof(DrawUnitRenderBlock) <= kUnitBlockSize, "the operations take one pool block");

} // namespace FulgorCore
