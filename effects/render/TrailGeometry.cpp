#include "effects/render/TrailGeometry.h"

#include "effects/drawunits/AxisTrailDrawUnit.h"
#include "effects/drawunits/BillboardTrailDrawUnit.h"
#include "effects/drawunits/CrossTrailDrawUnit.h"
#include "effects/drawunits/DrawCommand.h"
#include "effects/render/RibbonIndices.h"

namespace FulgorCore {

template <template <uint32_t> class Kind, class Variant>
void WriteTrailIndices(DrawUnit* unit, const DrawPayload& payload) {
    constexpr uint32_t kPerPoint = Variant::kVerticesPerPoint;
    auto* trail = static_cast<TrailDrawUnitBase*>(unit);
    const uint32_t n = trail->historyLength;
    uint16_t* end = WriteRibbonIndices<kPerPoint>(payload.indices, payload.firstVertex, n);
    if constexpr (Kind<0>::kAxisArrays == 2)
        WriteRibbonIndices<kPerPoint>(
            end, static_cast<uint16_t>(payload.firstVertex + kPerPoint * n), n);
    trail->ops.write(unit, payload.vertices);
}

template void WriteTrailIndices<AxisTrailDrawUnit, PlainLine>(DrawUnit*, const DrawPayload&);
template void WriteTrailIndices<AxisTrailDrawUnit, CentreLine>(DrawUnit*, const DrawPayload&);
template void WriteTrailIndices<CrossTrailDrawUnit, PlainLine>(DrawUnit*, const DrawPayload&);
template void WriteTrailIndices<CrossTrailDrawUnit, CentreLine>(DrawUnit*, const DrawPayload&);
template void WriteTrailIndices<BillboardTrailDrawUnit, PlainLine>(DrawUnit*, const DrawPayload&);
template void WriteTrailIndices<BillboardTrailDrawUnit, CentreLine>(DrawUnit*, const DrawPayload&);

} // namespace FulgorCore
