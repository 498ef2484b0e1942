#include "effects/Core/Resource/DrawDataType12.h"
#include "effects/Core/Resource/ParticleResource.h"
#include "effects/drawunits/AxisTrailDrawUnit.h"
#include "effects/drawunits/BillboardTrailDrawUnit.h"
#include "effects/drawunits/CrossTrailDrawUnit.h"
#include "effects/drawunits/DrawSubmission.h"
#include "effects/drawunits/FrameBlock.h"
#include "effects/drawunits/RibbonValues.h"
#include "effects/drawunits/TrailStartValues.h"
#include "effects/drawunits/VertexFormat.h"
#include "effects/render/StripTexCoords.h"
#include "effects/units/ParticleInstance.h"

namespace FulgorCore {

template <uint32_t N, uint32_t Lead, class Variant>
void TrailDrawUnitBase::BuildFrameGeometry(DrawUnit* unit, const DrawClock& clock,
                                           const float* transforms, float widthScale) {
    auto& t = *static_cast<TrailDrawUnitBase*>(unit);
    const uint32_t n = t.historyLength;
    void* block = TakeFrameBlock(t, n * TextureBytesPerPoint<N, Variant>());
    t.record->textureWords = static_cast<const uint32_t*>(block);
    if (!block)
        return;
    if constexpr (N > 0)
        Renderer::WriteStripTexCoords<N, Variant>(static_cast<uint16_t*>(block), transforms, n);
    const DrawDataType12* trail = t.unitData->GetDrawDataType12();
    if (!trail)
        return;
    using namespace ParticleKernel;
    const float* v = t.record->startValues + Lead;
    const RibbonSamples samples = {
        {v[kTrailWidthScale], v[kTrailHeadWidth], v[kTrailMiddleWidth], v[kTrailTailWidth]},
        {v + kTrailHeadColour, v + kTrailMiddleColour, v + kTrailTailColour,
         v + kTrailEdgeHeadColour, v + kTrailEdgeMiddleColour, v + kTrailEdgeTailColour}};
    EvaluateRibbonValues<Variant>(t.record->ribbon, *trail, samples, clock, *t.randomState,
                                  widthScale, [&](float* by) {
                                      t.DrawColor(by, t.ownerColour, clock);
                                  });
}

namespace {

// The members of trail class Kind at format N by MidKey x 2 + CentreLine:
// the build of its record layout, the submit of its stride and CentreLine
// (MidKey reserves what the plain trail does), its own vertex writer.
template <template <uint32_t> class Kind, uint32_t N>
const TrailDrawUnitBase::MemberTable& TrailMembers() {
    using Unit = Kind<N>;
    using T = TrailDrawUnitBase;
    constexpr uint32_t S = VertexFormat<N>::kStride;
    constexpr uint32_t L = Unit::kLead;
    static constexpr T::MemberTable kTable = {{
        {T::BuildFrameGeometry<N, L, PlainLine>, SubmitTrailDraw<S, Kind, PlainLine>,
         Unit::template WriteVertices<PlainLine>},
        {T::BuildFrameGeometry<N, L, CentreLine>, SubmitTrailDraw<S, Kind, CentreLine>,
         Unit::template WriteVertices<CentreLine>},
        {T::BuildFrameGeometry<N, L, MidKey>, SubmitTrailDraw<S, Kind, PlainLine>,
         Unit::template WriteVertices<MidKey>},
        {T::BuildFrameGeometry<N, L, MidKeyCentreLine>, SubmitTrailDraw<S, Kind, CentreLine>,
         Unit::template WriteVertices<MidKeyCentreLine>},
    }};
    return kTable;
}

} // namespace

template <uint32_t N> const TrailDrawUnitBase::MemberTable& AxisTrailDrawUnit<N>::Members() {
    return TrailMembers<AxisTrailDrawUnit, N>();
}
template <uint32_t N> const TrailDrawUnitBase::MemberTable& CrossTrailDrawUnit<N>::Members() {
    return TrailMembers<CrossTrailDrawUnit, N>();
}
template <uint32_t N>
const TrailDrawUnitBase::MemberTable& BillboardTrailDrawUnit<N>::Members() {
    return TrailMembers<BillboardTrailDrawUnit, N>();
}

#define FULGOR_TRAIL_BUILDS_OF(N, Lead)                                                            \
    template void TrailDrawUnitBase::BuildFrameGeometry<N, Lead, PlainLine>(                       \
        DrawUnit*, const DrawClock&, const float*, float);                                         \
    template void TrailDrawUnitBase::BuildFrameGeometry<N, Lead, CentreLine>(                      \
        DrawUnit*, const DrawClock&, const float*, float);                                         \
    template void TrailDrawUnitBase::BuildFrameGeometry<N, Lead, MidKey>(                          \
        DrawUnit*, const DrawClock&, const float*, float);                                         \
    template void TrailDrawUnitBase::BuildFrameGeometry<N, Lead, MidKeyCentreLine>(                \
        DrawUnit*, const DrawClock&, const float*, float);
#define FULGOR_TRAIL_BUILDS(N)                                                                     \
    FULGOR_TRAIL_BUILDS_OF(N, 0)                                                                   \
    FULGOR_TRAIL_BUILDS_OF(N, 1)                                                                   \
    template const TrailDrawUnitBase::MemberTable& AxisTrailDrawUnit<N>::Members();               \
    template const TrailDrawUnitBase::MemberTable& CrossTrailDrawUnit<N>::Members();              \
    template const TrailDrawUnitBase::MemberTable& BillboardTrailDrawUnit<N>::Members();
FULGOR_TRAIL_BUILDS(0)
FULGOR_TRAIL_BUILDS(1)
FULGOR_TRAIL_BUILDS(2)
FULGOR_TRAIL_BUILDS(3)
FULGOR_TRAIL_BUILDS(4)
FULGOR_TRAIL_BUILDS(5)
FULGOR_TRAIL_BUILDS(6)
#undef FULGOR_TRAIL_BUILDS
#undef FULGOR_TRAIL_BUILDS_OF

} // namespace FulgorCore
