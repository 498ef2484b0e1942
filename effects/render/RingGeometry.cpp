#include "effects/render/RingGeometry.h"

#include "effects/drawunits/DrawCommand.h"
#include "effects/drawunits/RingDrawUnit.h"
#include "effects/drawunits/RingFrameRecord.h"
#include "effects/drawunits/VertexFormat.h"
#include "effects/render/BandIndices.h"

#include <cstddef>
#include <cstring>

namespace FulgorCore {

template <uint32_t N, class Variant>
void WriteRingGeometry(DrawUnit* drawUnit, const DrawPayload& payload) {
    constexpr uint32_t kStride = VertexFormat<N>::kStride;
    constexpr bool kCentreLine = Variant::kVerticesPerPoint == 3;
    const auto& unit = static_cast<const RingDrawUnit&>(*drawUnit);
    const RingFrameRecord& record = *unit.record;
    const uint32_t n = unit.segmentCount;
    if constexpr (kCentreLine)
        Renderer::WriteBandIndices<Renderer::kCentreLineBand>(payload.indices, payload.firstVertex,
                                                              n);
    else
        Renderer::WriteBandIndices<Renderer::kRingBand>(payload.indices, payload.firstVertex, n);
    const float w = drawUnit->GetPolygonOffset();

    // Per point: outer first, inner last; each vertex whole in one pass,
    // its texture words (N a vertex, in the same order) after its head.
    constexpr uint32_t kPerPoint = Variant::kVerticesPerPoint;
    const float* const circles[3] = {record.outer, kCentreLine ? record.middle : record.inner,
                                     record.inner};
    const uint16_t* const colors[3] = {record.colors[kCentreLine ? 2 : 0],
                                       record.colors[kCentreLine ? 1 : 0], record.colors[0]};
    const uint32_t* words = record.textureWords;
    auto* v = static_cast<uint8_t*>(payload.vertices);
    for (uint32_t j = 0; j <= n; ++j)
        for (uint32_t k = 0; k < kPerPoint; ++k, v += kStride) {
            WriteVertexHead(v, circles[k] + 3 * j, w, colors[k], unit.parameters);
            if constexpr (N > 0) {
                std::memcpy(v + offsetof(VertexFormat<N>, textureWords), words,
                            N * sizeof(uint32_t));
                words += N;
            }
        }
}

template void WriteRingGeometry<0, PlainLine>(DrawUnit*, const DrawPayload&);
template void WriteRingGeometry<1, PlainLine>(DrawUnit*, const DrawPayload&);
template void WriteRingGeometry<2, PlainLine>(DrawUnit*, const DrawPayload&);
template void WriteRingGeometry<3, PlainLine>(DrawUnit*, const DrawPayload&);
template void WriteRingGeometry<4, PlainLine>(DrawUnit*, const DrawPayload&);
template void WriteRingGeometry<5, PlainLine>(DrawUnit*, const DrawPayload&);
template void WriteRingGeometry<6, PlainLine>(DrawUnit*, const DrawPayload&);
template void WriteRingGeometry<0, CentreLine>(DrawUnit*, const DrawPayload&);
template void WriteRingGeometry<1, CentreLine>(DrawUnit*, const DrawPayload&);
template void WriteRingGeometry<2, CentreLine>(DrawUnit*, const DrawPayload&);
template void WriteRingGeometry<3, CentreLine>(DrawUnit*, const DrawPayload&);
template void WriteRingGeometry<4, CentreLine>(DrawUnit*, const DrawPayload&);
template void WriteRingGeometry<5, CentreLine>(DrawUnit*, const DrawPayload&);
template void WriteRingGeometry<6, CentreLine>(DrawUnit*, const DrawPayload&);

} // namespace FulgorCore
