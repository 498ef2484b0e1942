#include "effects/drawunits/QuadDrawUnit.h"

#include "effects/drawunits/PackColor.h"
#include "effects/drawunits/UvTransformKernels.h"
#include "effects/units/ParticleInstance.h"

namespace FulgorCore {

template <uint32_t N>
QuadDrawUnit<N>::QuadDrawUnit(ParticleInstance* owner, const ParticleResource* data)
    : DrawUnit(owner, data), command(this) {
    if (renderBlock)
        record = static_cast<QuadFrameRecord<N>*>(TakeBlock());
}

template <uint32_t N> QuadDrawUnit<N>::~QuadDrawUnit() {
    GiveBack(record);
}

template <uint32_t N> void QuadDrawUnit<N>::Update(const DrawClock& clock) {
    if (!renderBlock || !record)
        return;
    EvaluateVertexParameters(parameters, clock);
    if constexpr (N > 0)
        ParticleKernel::EvaluateUvTransformsSplit<N>(this, record->transforms, clock);
    EvaluateMatrix(record->matrix, clock);
    float color[4];
    DrawColor(color, ownerUnit->GetColor(), clock);
    PackFloat4ToU16(record->color, color);
}

template class QuadDrawUnit<0>;
template class QuadDrawUnit<1>;
template class QuadDrawUnit<2>;
template class QuadDrawUnit<3>;
template class QuadDrawUnit<4>;
template class QuadDrawUnit<5>;
template class QuadDrawUnit<6>;

static_assert(EveryFormatFitsABlock<QuadDrawUnit>());

} // namespace FulgorCore
