#include "effects/drawunits/StripDrawUnit.h"

#include "effects/drawunits/DrawUnitRecords.h"

namespace FulgorCore {

template <uint32_t N> void StripDrawUnit<N>::Update(const DrawClock& clock) {
    if (!renderBlock || !record)
        return;
    EvaluateVertexParameters(record->parameters, clock);
    record->ops.generate(this, clock, nullptr);
    float transforms[TransformRoom<N>::kFloats];
    EvaluateCentredTransforms<N>(transforms, clock);
    record->ops.build(this, clock, transforms, 1.0f);
}

template class StripDrawUnit<0>;
template class StripDrawUnit<1>;
template class StripDrawUnit<2>;
template class StripDrawUnit<3>;
template class StripDrawUnit<4>;
template class StripDrawUnit<5>;
template class StripDrawUnit<6>;

static_assert(EveryFormatFitsABlock<StripDrawUnit>());

} // namespace FulgorCore
