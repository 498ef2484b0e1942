#include "effects/Core/Resource/DrawDataType12.h"
#include "effects/Core/Resource/ParticleResource.h"
#include "effects/drawunits/RibbonWriter.h"
#include "effects/drawunits/TrailDrawUnitBase.h"

#include <cstring>
#include <type_traits>

namespace FulgorCore {

namespace {

// The trail classes by their axis arrays: 0 billboard, 1 axis, 2 cross.
template <uint32_t A>
using TrailFacing =
    std::conditional_t<A == 0, FacingCamera, std::conditional_t<A == 1, AlongAxis, CrossedAxes>>;

} // namespace

uint32_t TrailDrawUnitBase::MiddleCount() const {
    const DrawDataType12* trail = unitData->GetDrawDataType12();
    return trail ? trail->GetField(DrawDataType12::kPtCN) : 0u;
}

template <uint32_t N, uint32_t A, class Variant>
void TrailDrawUnitBase::WriteRibbonVertices(DrawUnit* unit, void* vertices) {
    const auto& trail = *static_cast<const TrailDrawUnitBase*>(unit);
    const TrailFrameRecord& r = *trail.record;
    RibbonInput in;
    in.pointCount = trail.historyLength;
    if constexpr (Variant::kTwoRanges)
        in.middle = trail.MiddleCount();
    in.polygonOffset = trail.GetPolygonOffset();
    std::memcpy(in.parameters, trail.parameters, sizeof(in.parameters));
    in.textureWords = r.textureWords;
    in.positions = r.positions;
    in.axes[0] = r.firstAxes;
    in.axes[1] = r.secondAxes;
    if constexpr (A == 0)
        CopyViewVector(in.camera);
    WriteRibbon<N, TrailFacing<A>, Variant>(vertices, in, r.ribbon);
}

#define FULGOR_TRAIL_WRITERS_OF(N, A)                                                              \
    template void TrailDrawUnitBase::WriteRibbonVertices<N, A, PlainLine>(DrawUnit*, void*);       \
    template void TrailDrawUnitBase::WriteRibbonVertices<N, A, CentreLine>(DrawUnit*, void*);      \
    template void TrailDrawUnitBase::WriteRibbonVertices<N, A, MidKey>(DrawUnit*, void*);          \
    template void TrailDrawUnitBase::WriteRibbonVertices<N, A, MidKeyCentreLine>(DrawUnit*, void*);
#define FULGOR_TRAIL_WRITERS(N)                                                                    \
    FULGOR_TRAIL_WRITERS_OF(N, 0)                                                                  \
    FULGOR_TRAIL_WRITERS_OF(N, 1)                                                                  \
    FULGOR_TRAIL_WRITERS_OF(N, 2)
FULGOR_TRAIL_WRITERS(0)
FULGOR_TRAIL_WRITERS(1)
FULGOR_TRAIL_WRITERS(2)
FULGOR_TRAIL_WRITERS(3)
FULGOR_TRAIL_WRITERS(4)
FULGOR_TRAIL_WRITERS(5)
FULGOR_TRAIL_WRITERS(6)
#undef FULGOR_TRAIL_WRITERS
#undef FULGOR_TRAIL_WRITERS_OF

} // namespace FulgorCore
