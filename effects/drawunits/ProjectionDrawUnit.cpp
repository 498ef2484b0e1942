#include "effects/drawunits/ProjectionDrawUnit.h"

#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Resource/DrawDataType10.h"
#include "effects/Core/Resource/ParticleResource.h"
#include "effects/drawunits/UvTransformKernels.h"
#include "effects/render/Renderer.h"
#include "effects/units/ParticleInstance.h"

namespace FulgorCore {

template <uint32_t N>
ProjectionDrawUnit<N>::ProjectionDrawUnit(ParticleInstance* owner, const ParticleResource* data,
                                          const Values& values)
    : DrawUnit(owner, data), shape(values.shape), firstSample(values.firstSample),
      secondSample(values.secondSample) {
    if (renderBlock)
        record = static_cast<ProjectionRenderRecord<N>*>(TakeBlock());
}

template <uint32_t N>
ProjectionDrawUnit<N>::ProjectionDrawUnit(ParticleInstance* owner, const ParticleResource* data)
    : DrawUnit(owner, data), shape(0), firstSample(0.0f), secondSample(0.0f) {
    // The random values come before the record's test, so a unit that
    // finds no block still moves the instance's random state by them.
    record = static_cast<ProjectionRenderRecord<N>*>(Engine::GetUnitInstancePool().Allocate());
    if (const DrawDataType10* volume = data->GetDrawDataType10()) {
        shape = volume->GetPrjT() & 3u;
        firstSample = volume->GetRngR().SampleRandom(*randomState);
        secondSample = volume->GetRngW().SampleRandom(*randomState);
    }
    if (!record)
        ownerUnit->Finish();
}

template <uint32_t N> ProjectionDrawUnit<N>::~ProjectionDrawUnit() {
    GiveBack(record);
}

template <uint32_t N> void ProjectionDrawUnit<N>::Update(const DrawClock& clock) {
    if (!renderBlock || !record)
        return;
    renderBlock->textureSelectKernel(this, clock);
    renderBlock->textureValueKernel(this, clock, record->shaderParameters);
    if constexpr (N > 0)
        ParticleKernel::EvaluateUvTransforms<N>(this, record->transforms, clock, uvOffsetFirstMask);
    const DrawDataType10* volume = unitData->GetDrawDataType10();
    if (shape == kWidenedShape && volume) {
        const float a = volume->GetRngR().Evaluate(clock, firstSample, *randomState);
        const float b = volume->GetRngW().Evaluate(clock, secondSample, *randomState);
        record->shaderParameters[2] = (1.0f - b) * 0.5f;
        const float s = a + b * 0.5f;
        float m[12];
        EvaluateMatrix(m, clock);
        for (int i = 0; i < 3; ++i) {
            record->matrix[i] = m[i] * s;
            record->matrix[3 + i] = m[3 + i];
            record->matrix[6 + i] = m[6 + i] * s;
            record->matrix[9 + i] = m[9 + i];
        }
    } else {
        EvaluateMatrix(record->matrix, clock);
    }
    DrawColor(record->color, ownerColour, clock);
}

template <uint32_t N> void ProjectionDrawUnit<N>::Draw() {
    if (!renderBlock || !record)
        return;
    Renderer::IssueProjectionDrawCommand<N>(unitShader, record->matrix, record->transforms,
                                            &stateWord, textureBindings, usedTextureMask,
                                            record->color, record->slot, record->shaderParameters);
}

template class ProjectionDrawUnit<0>;
template class ProjectionDrawUnit<1>;
template class ProjectionDrawUnit<2>;
template class ProjectionDrawUnit<3>;
template class ProjectionDrawUnit<4>;
template class ProjectionDrawUnit<5>;
template class ProjectionDrawUnit<6>;

static_assert(EveryFormatFitsABlock<ProjectionDrawUnit>());

} // namespace FulgorCore
