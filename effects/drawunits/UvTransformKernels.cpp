#include "effects/drawunits/UvTransformKernels.h"

#include "effects/Core/Resource/ParticleResource.h"
#include "effects/Core/Resource/UvTransform.h"
#include "effects/Core/Transform/TexCoordCorners.h"
#include "effects/Core/Transform/TexCoordTransform.h"
#include "effects/drawunits/DrawUnit.h"
#include "effects/drawunits/DrawUnitRenderBlock.h"

namespace FulgorCore::ParticleKernel {

namespace {

// The builders' parameter layout: a leading word they do not read, then
// scale u, scale v, offset u, offset v, angle.
struct Parameters {
    UvTransform::Value value{1u, {1.0f, 1.0f}, {0.0f, 0.0f}, 0.0f};
    float words[6] = {0.0f, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f};

    void Evaluate(const DrawUnit* unit, uint32_t set, const EvaluationContext& context) {
        unit->unitData->GetUvLayer(set)->Evaluate(context, unit->renderBlock->uvRandomValues[set],
                                                  *unit->randomState, value);
        words[kTexCoordScaleU] = value.scale[0];
        words[kTexCoordScaleV] = value.scale[1];
        words[kTexCoordOffsetU] = value.scroll[0];
        words[kTexCoordOffsetV] = value.scroll[1];
        words[kTexCoordAngle] = value.rotation;
    }
};

} // namespace

template <uint32_t N>
void EvaluateUvTransforms(DrawUnit* unit, float* out, const EvaluationContext& context,
                          uint8_t offsetFirstMask) {
    Parameters p;
    for (uint32_t i = 0; i < N; ++i) {
        p.Evaluate(unit, i, context);
        TexCoordTransform::kOriginModes[(offsetFirstMask >> i) & 1u](out + 8 * i, p.words);
    }
}

template <uint32_t N>
void EvaluateUvTransformsTwoMasks(DrawUnit* unit, float* out, const EvaluationContext& context,
                                  uint8_t pivotMask, uint8_t offsetFirstMask) {
    Parameters p;
    for (uint32_t i = 0; i < N; ++i) {
        p.Evaluate(unit, i, context);
        const uint32_t mode = ((pivotMask >> i) & 1u) | (((offsetFirstMask >> i) & 1u) << 1);
        TexCoordTransform::kModes[mode](out + 8 * i, p.words);
    }
}

template <uint32_t N>
void EvaluateUvTransformsSplit(DrawUnit* unit, float* out, const EvaluationContext& context) {
    Parameters p;
    for (uint32_t i = 0; i < N; ++i) {
        p.Evaluate(unit, i, context);
        TexCoordCorners::kModes[p.value.flags & 3u](out + 8 * i, p.words);
    }
}

#define FULGOR_UV_KERNELS(N)                                                                       \
    template void EvaluateUvTransforms<N>(DrawUnit*, float*, const EvaluationContext&, uint8_t);   \
    template void EvaluateUvTransformsTwoMasks<N>(DrawUnit*, float*, const EvaluationContext&,     \
                                                  uint8_t, uint8_t);                               \
    template void EvaluateUvTransformsSplit<N>(DrawUnit*, float*, const EvaluationContext&);
FULGOR_UV_KERNELS(1)
FULGOR_UV_KERNELS(2)
FULGOR_UV_KERNELS(3)
FULGOR_UV_KERNELS(4)
FULGOR_UV_KERNELS(5)
FULGOR_UV_KERNELS(6)
#undef FULGOR_UV_KERNELS

} // namespace FulgorCore::ParticleKernel
