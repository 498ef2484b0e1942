#include "effects/render/StripGeometry.h"

#include "effects/Core/Math/FastRoot.h"
#include "effects/drawunits/DrawCommand.h"
#include "effects/drawunits/PackColor.h"
#include "effects/drawunits/PointHistoryEntry.h"
#include "effects/drawunits/ScatterTexCoords.h"
#include "effects/drawunits/StripDrawUnitBase.h"
#include "effects/drawunits/StripPoint.h"
#include "effects/drawunits/VertexFormat.h"
#include "effects/render/BandIndices.h"
#include "effects/render/Renderer.h"

namespace FulgorCore {

namespace {

constexpr float kShortestHistory = 0.0001f;

// One point of the strip as the vertex pass takes it.
struct StripSample {
    const float* position;
    float axis[3];
    float t;
};

// The history's oldest n nodes, along their links toward the newest.
template <class Visit> void VisitPoints(const StripDrawUnitBase& strip, History, Visit visit) {
    const float newest = strip.newestNode ? strip.newestNode->distance : 0.0f;
    const float scale = 1.0f / (newest > kShortestHistory ? newest : kShortestHistory);
    const PointHistoryEntry* node = strip.firstNode;
    for (uint32_t j = 0; j < strip.segmentCount && node; ++j, node = node->next) {
        StripSample s{
            node->position, {node->axis[0], node->axis[1], node->axis[2]}, node->distance * scale};
        visit(s);
    }
}

// The list's points, each pointing from the next point back to the one
// before (one-sided at both ends).
template <class Visit> void VisitPoints(const StripDrawUnitBase& strip, PointList, Visit visit) {
    const StripPoint* points = strip.stripPoints;
    const uint32_t n = strip.stripPointCount;
    for (uint32_t j = 0; j < n; ++j) {
        const float* before = points[j > 0 ? j - 1 : 0].position;
        const float* after = points[j + 1 < n ? j + 1 : n - 1].position;
        StripSample s{points[j].position,
                      {before[0] - after[0], before[1] - after[1], before[2] - after[2]},
                      points[j].parameter};
        visit(s);
    }
}

uint32_t PointCount(const StripDrawUnitBase& strip, History) {
    return strip.segmentCount;
}
uint32_t PointCount(const StripDrawUnitBase& strip, PointList) {
    return strip.stripPointCount;
}

void Lerp4(float* out, const float* base, const float* delta, float t) {
    for (uint32_t c = 0; c < 4; ++c)
        out[c] = base[c] + delta[c] * t;
}

} // namespace

template <uint32_t N, class Source, class Variant>
void WriteStripGeometry(DrawUnit* drawUnit, const DrawPayload& payload) {
    constexpr uint32_t kStride = VertexFormat<N>::kStride;
    constexpr bool kCentreLine = Variant::kVerticesPerPoint == 3;
    const auto& strip = static_cast<const StripDrawUnitBase&>(*drawUnit);
    const StripFrameRecord& record = *strip.record;
    const uint32_t n = PointCount(strip, Source{});
    const uint32_t segments = n > 0 ? n - 1 : 0;
    if constexpr (kCentreLine)
        Renderer::WriteBandIndices<Renderer::kCentreLineBand>(payload.indices, payload.firstVertex,
                                                              segments);
    else
        Renderer::WriteBandIndices<Renderer::kStripBand>(payload.indices, payload.firstVertex,
                                                         segments);
    const float w = drawUnit->GetPolygonOffset();
    Renderer::ScatterTexCoords<N, Variant>(payload.vertices, record.textureWords, n);

    const float* eye = Renderer::GetViewVector();
    const float w0 = record.headWidth;
    const float dw = record.tailWidth - record.headWidth;
    auto* v = static_cast<uint8_t*>(payload.vertices);
    VisitPoints(strip, Source{}, [&](const StripSample& p) {
        float rgba[4];
        uint16_t centre[4];
        Lerp4(rgba, record.centreColor, record.firstDelta, p.t);
        PackFloat4ToU16(centre, rgba);
        const float* a = p.axis;
        const float d[3] = {p.position[0] - eye[0], p.position[1] - eye[1], p.position[2] - eye[2]};
        const float s[3] = {a[1] * d[2] - a[2] * d[1], a[2] * d[0] - a[0] * d[2],
                            a[0] * d[1] - a[1] * d[0]};
        const float r = Math::ReciprocalSqrt(s[0] * s[0] + s[1] * s[1] + s[2] * s[2]);
        const float width = w0 + dw * p.t;
        float left[3], right[3];
        for (uint32_t c = 0; c < 3; ++c) {
            const float offset = s[c] * r * width;
            left[c] = p.position[c] - offset;
            right[c] = p.position[c] + offset;
        }
        if constexpr (kCentreLine) {
            uint16_t edge[4];
            Lerp4(rgba, record.edgeColor, record.secondDelta, p.t);
            PackFloat4ToU16(edge, rgba);
            WriteVertexHead(v, left, w, edge, record.parameters);
            WriteVertexHead(v + kStride, p.position, w, centre, record.parameters);
            WriteVertexHead(v + 2 * kStride, right, w, edge, record.parameters);
        } else {
            WriteVertexHead(v, left, w, centre, record.parameters);
            WriteVertexHead(v + kStride, right, w, centre, record.parameters);
        }
        v += Variant::kVerticesPerPoint * kStride;
    });
}

#define FULGOR_STRIP_GEOMETRY(N)                                                                   \
    template void WriteStripGeometry<N, History, PlainLine>(DrawUnit*, const DrawPayload&);        \
    template void WriteStripGeometry<N, History, CentreLine>(DrawUnit*, const DrawPayload&);       \
    template void WriteStripGeometry<N, PointList, PlainLine>(DrawUnit*, const DrawPayload&);      \
    template void WriteStripGeometry<N, PointList, CentreLine>(DrawUnit*, const DrawPayload&);
FULGOR_STRIP_GEOMETRY(0)
FULGOR_STRIP_GEOMETRY(1)
FULGOR_STRIP_GEOMETRY(2)
FULGOR_STRIP_GEOMETRY(3)
FULGOR_STRIP_GEOMETRY(4)
FULGOR_STRIP_GEOMETRY(5)
FULGOR_STRIP_GEOMETRY(6)
#undef FULGOR_STRIP_GEOMETRY

} // namespace FulgorCore
