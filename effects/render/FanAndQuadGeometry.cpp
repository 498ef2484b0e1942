#include "effects/render/FanAndQuadGeometry.h"

#include "effects/drawunits/CircleDrawUnit.h"
#include "effects/drawunits/DrawCommand.h"
#include "effects/drawunits/DrawVertices.h"
#include "effects/drawunits/QuadDrawUnit.h"
#include "effects/drawunits/VertexFormat.h"

#include <cstddef>
#include <cstring>

namespace FulgorCore {

template <uint32_t N> void WriteFanGeometry(DrawUnit* drawUnit, const DrawPayload& payload) {
    const auto& unit = static_cast<const CircleDrawUnit<N>&>(*drawUnit);
    const CircleFrameRecord<N>& record = *unit.record;
    constexpr uint32_t kStride = VertexFormat<N>::kStride;
    const uint32_t n = static_cast<uint32_t>(unit.segmentCount);
    const uint16_t b = payload.firstVertex;
    uint16_t* i = payload.indices;
    for (uint32_t k = 0; k < n; ++k, i += 3) {
        i[0] = b;
        i[1] = static_cast<uint16_t>(b + 1 + k);
        i[2] = static_cast<uint16_t>(b + 2 + k);
    }
    // The last triangle closes on the first rim vertex.
    if (n > 0)
        i[-1] = static_cast<uint16_t>(b + 1);

    const float w = unit.GetPolygonOffset();
    auto* first = static_cast<uint8_t*>(payload.vertices);
    uint8_t* v = first;
    for (uint32_t k = 0; k <= n; ++k, v += kStride) {
        std::memcpy(v + 12, &w, 4);
        std::memcpy(v + 16, record.color, 8);
        std::memcpy(v + 24, unit.parameters, 4);
    }
    // The centre: the matrix's translation, each set's transform applied to
    // the origin (the translation of its u and v rows).
    std::memcpy(first, record.matrix + 9, 12);
    for (uint32_t k = 0; k < N; ++k) {
        const float* t = record.transforms + 8 * k;
        const uint32_t word = PackTextureWord(t[3], t[7]);
        std::memcpy(first + offsetof(VertexFormat<N>, textureWords) + 4 * k, &word, 4);
    }
    unit.writeRim(&unit, first + kStride, static_cast<int32_t>(n), record.matrix,
                  record.transforms);
}

template <uint32_t N> void WriteQuadIndices(DrawUnit* drawUnit, const DrawPayload& payload) {
    WriteQuadIndices(payload.indices, payload.firstVertex);
    static_cast<const QuadDrawUnit<N>&>(*drawUnit).WriteVertices(payload.vertices);
}

template void WriteFanGeometry<0>(DrawUnit*, const DrawPayload&);
template void WriteFanGeometry<1>(DrawUnit*, const DrawPayload&);
template void WriteFanGeometry<2>(DrawUnit*, const DrawPayload&);
template void WriteFanGeometry<3>(DrawUnit*, const DrawPayload&);
template void WriteFanGeometry<4>(DrawUnit*, const DrawPayload&);
template void WriteFanGeometry<5>(DrawUnit*, const DrawPayload&);
template void WriteFanGeometry<6>(DrawUnit*, const DrawPayload&);
template void WriteQuadIndices<0>(DrawUnit*, const DrawPayload&);
template void WriteQuadIndices<1>(DrawUnit*, const DrawPayload&);
template void WriteQuadIndices<2>(DrawUnit*, const DrawPayload&);
template void WriteQuadIndices<3>(DrawUnit*, const DrawPayload&);
template void WriteQuadIndices<4>(DrawUnit*, const DrawPayload&);
template void WriteQuadIndices<5>(DrawUnit*, const DrawPayload&);
template void WriteQuadIndices<6>(DrawUnit*, const DrawPayload&);

} // namespace FulgorCore
