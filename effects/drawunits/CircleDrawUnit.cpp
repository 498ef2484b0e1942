#include "effects/drawunits/CircleDrawUnit.h"

#include "effects/Core/Math/FloatConversion.h"
#include "effects/Core/Resource/DrawDataType8.h"
#include "effects/Core/Resource/ParticleResource.h"
#include "effects/drawunits/PackColor.h"
#include "effects/units/ParticleInstance.h"

#include <algorithm>

namespace FulgorCore {

template <uint32_t N>
CircleDrawUnit<N>::CircleDrawUnit(ParticleInstance* owner, const ParticleResource* data,
                                  float countSample)
    : DrawUnit(owner, data), command(this), countSample(countSample) {
    if (renderBlock)
        record = static_cast<CircleFrameRecord<N>*>(TakeBlock());
}

template <uint32_t N> CircleDrawUnit<N>::~CircleDrawUnit() {
    GiveBack(record);
}

template <uint32_t N> void CircleDrawUnit<N>::Update(const DrawClock& clock) {
    if (!renderBlock || !record)
        return;
    const DrawDataType8* circle = unitData->GetDrawDataType8();
    const float count =
        circle ? circle->GetCount().Evaluate(clock, countSample, *randomState) : 0.0f;
    // Not a number truncates to the lowest integer and so to the fewest.
    segmentCount = std::clamp(Math::TruncateToInt32(count), kFewestSegments, kMostSegments);
    vertexCount = segmentCount + 1;
    EvaluateVertexParameters(parameters, clock);
    EvaluateMatrix(record->matrix, clock);
    EvaluateCentredTransforms<N>(record->transforms, clock);
    float color[4];
    DrawColor(color, ownerUnit->GetColor(), clock);
    PackFloat4ToU16(record->color, color);
}

template class CircleDrawUnit<0>;
template class CircleDrawUnit<1>;
template class CircleDrawUnit<2>;
template class CircleDrawUnit<3>;
template class CircleDrawUnit<4>;
template class CircleDrawUnit<5>;
template class CircleDrawUnit<6>;

static_assert(EveryFormatFitsABlock<CircleDrawUnit>());

} // namespace FulgorCore
