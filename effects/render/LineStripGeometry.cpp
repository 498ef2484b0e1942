#include "effects/render/LineStripGeometry.h"

#include "effects/drawunits/DrawCommand.h"
#include "effects/drawunits/StripDrawUnit.h"
#include "effects/render/RibbonIndices.h"

namespace FulgorCore {

template <uint32_t N, class Variant>
void WriteLineStripGeometry(DrawUnit* unit, const DrawPayload& payload) {
    const auto* strip = static_cast<const StripDrawUnitBase*>(unit);
    WriteRibbonIndices<Variant::kVerticesPerPoint>(payload.indices, payload.firstVertex,
                                                   strip->pointCount);
    StripDrawUnit<N>::template WriteLineVertices<Variant>(unit, payload.vertices);
}

#define FULGOR_LINE_STRIPS(N)                                                                      \
    template void WriteLineStripGeometry<N, PlainLine>(DrawUnit*, const DrawPayload&);             \
    template void WriteLineStripGeometry<N, CentreLine>(DrawUnit*, const DrawPayload&);            \
    template void WriteLineStripGeometry<N, MidKey>(DrawUnit*, const DrawPayload&);                \
    template void WriteLineStripGeometry<N, MidKeyCentreLine>(DrawUnit*, const DrawPayload&);
FULGOR_LINE_STRIPS(0)
FULGOR_LINE_STRIPS(1)
FULGOR_LINE_STRIPS(2)
FULGOR_LINE_STRIPS(3)
FULGOR_LINE_STRIPS(4)
FULGOR_LINE_STRIPS(5)
FULGOR_LINE_STRIPS(6)
#undef FULGOR_LINE_STRIPS

} // namespace FulgorCore
