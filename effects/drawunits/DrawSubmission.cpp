#include "effects/drawunits/DrawSubmission.h"

#include "effects/drawunits/AxisTrailDrawUnit.h"
#include "effects/drawunits/BillboardTrailDrawUnit.h"
#include "effects/drawunits/CrossTrailDrawUnit.h"
#include "effects/drawunits/DrawCommand.h"
#include "effects/drawunits/DrawRenderer.h"
#include "effects/drawunits/RingDrawUnit.h"
#include "effects/drawunits/StripDrawUnitBase.h"
#include "effects/drawunits/StripSources.h"
#include "effects/drawunits/VertexFormat.h"
#include "effects/render/LineStripGeometry.h"
#include "effects/render/RingGeometry.h"
#include "effects/render/StripGeometry.h"
#include "effects/render/TrailGeometry.h"

#include <new>
#include <type_traits>

namespace FulgorCore {

namespace {

// Room in the buffers of `Stride` under the unit's render state.
template <uint32_t Stride>
bool Reserve(DrawUnit& unit, uint32_t vertices, uint32_t indices, DrawPayload& room) {
    return DrawRenderer::Current().ReservationOf<Stride>()(
        unit.unitShader, &unit.stateWord, unit.textureBindings, unit.usedTextureMask,
        &room.vertices, vertices, &room.indices, &room.firstVertex, indices);
}

// Fills a unit's own command with this frame's callback and room and hands
// it over.
void SubmitOwnCommand(DrawCommand& command, DrawCommand::Geometry geometry,
                      const DrawPayload& room) {
    command.geometry = geometry;
    command.payload = room;
    DrawRenderer::Current().submit(&command);
}

// How a strip's geometry reads its points: the count and the callback.
template <uint32_t N, class Source, class Variant> struct StripGeometryOf {
    static uint32_t Points(const StripDrawUnitBase& s) {
        if constexpr (std::is_same_v<Source, History>)
            return s.segmentCount;
        else
            return s.stripPointCount;
    }
    static constexpr DrawCommand::Geometry kCallback = WriteStripGeometry<N, Source, Variant>;
};
template <uint32_t N, class Variant> struct StripGeometryOf<N, GeneratedLine, Variant> {
    static uint32_t Points(const StripDrawUnitBase& s) { return s.pointCount; }
    static constexpr DrawCommand::Geometry kCallback = WriteLineStripGeometry<N, Variant>;
};

} // namespace

template <uint32_t N, class Source, class Variant>
void StripDrawUnitBase::SubmitDraw(DrawUnit* unit) {
    using Geometry = StripGeometryOf<N, Source, Variant>;
    constexpr uint32_t kPerPoint = Variant::kVerticesPerPoint;
    auto& strip = *static_cast<StripDrawUnitBase*>(unit);
    const uint32_t n = Geometry::Points(strip);
    if (n == 0)
        return;
    // The command's room first: room reserved in the batch and then left
    // without a command would be drawn unwritten.
    DrawRenderer& renderer = DrawRenderer::Current();
    void* space = renderer.allocateCommandSpace(sizeof(DrawCommand));
    if (!space)
        return;
    DrawPayload room;
    if (!Reserve<VertexFormat<N>::kStride>(strip, kPerPoint * n, 6 * (kPerPoint - 1) * (n - 1),
                                           room))
        return;
    auto* command = new (space) DrawCommand(unit);
    command->geometry = Geometry::kCallback;
    command->payload = room;
    renderer.submit(command);
}

template <uint32_t N, class Variant> void SubmitRingDraw(DrawUnit* unit) {
    constexpr uint32_t kPerPoint = Variant::kVerticesPerPoint;
    auto& ring = *static_cast<RingDrawUnit*>(unit);
    const uint32_t n = ring.segmentCount;
    DrawPayload room;
    if (Reserve<VertexFormat<N>::kStride>(ring, kPerPoint * (n + 1), 6 * (kPerPoint - 1) * n, room))
        SubmitOwnCommand(ring.command, WriteRingGeometry<N, Variant>, room);
}

template <uint32_t Stride, template <uint32_t> class Kind, class Variant>
void SubmitTrailDraw(DrawUnit* unit) {
    constexpr uint32_t kPerPoint = Variant::kVerticesPerPoint;
    constexpr uint32_t kRibbons = Kind<0>::kAxisArrays == 2 ? 2 : 1;
    auto& trail = *static_cast<TrailDrawUnitBase*>(unit);
    const uint32_t n = trail.historyLength;
    if (n == 0)
        return;
    DrawPayload room;
    if (Reserve<Stride>(trail, kRibbons * kPerPoint * n, kRibbons * 6 * (kPerPoint - 1) * (n - 1),
                        room))
        SubmitOwnCommand(trail.command, WriteTrailIndices<Kind, Variant>, room);
}

#define FULGOR_STRIP_SUBMITS(N)                                                                    \
    template void StripDrawUnitBase::SubmitDraw<N, GeneratedLine, PlainLine>(DrawUnit*);           \
    template void StripDrawUnitBase::SubmitDraw<N, GeneratedLine, CentreLine>(DrawUnit*);          \
    template void StripDrawUnitBase::SubmitDraw<N, GeneratedLine, MidKey>(DrawUnit*);              \
    template void StripDrawUnitBase::SubmitDraw<N, GeneratedLine, MidKeyCentreLine>(DrawUnit*);    \
    template void StripDrawUnitBase::SubmitDraw<N, PointList, PlainLine>(DrawUnit*);               \
    template void StripDrawUnitBase::SubmitDraw<N, PointList, CentreLine>(DrawUnit*);              \
    template void StripDrawUnitBase::SubmitDraw<N, History, PlainLine>(DrawUnit*);                 \
    template void StripDrawUnitBase::SubmitDraw<N, History, CentreLine>(DrawUnit*);                \
    template void SubmitRingDraw<N, PlainLine>(DrawUnit*);                                         \
    template void SubmitRingDraw<N, CentreLine>(DrawUnit*);
FULGOR_STRIP_SUBMITS(0)
FULGOR_STRIP_SUBMITS(1)
FULGOR_STRIP_SUBMITS(2)
FULGOR_STRIP_SUBMITS(3)
FULGOR_STRIP_SUBMITS(4)
FULGOR_STRIP_SUBMITS(5)
FULGOR_STRIP_SUBMITS(6)
#undef FULGOR_STRIP_SUBMITS

#define FULGOR_TRAIL_SUBMITS(Stride)                                                               \
    template void SubmitTrailDraw<Stride, AxisTrailDrawUnit, PlainLine>(DrawUnit*);                \
    template void SubmitTrailDraw<Stride, AxisTrailDrawUnit, CentreLine>(DrawUnit*);               \
    template void SubmitTrailDraw<Stride, CrossTrailDrawUnit, PlainLine>(DrawUnit*);               \
    template void SubmitTrailDraw<Stride, CrossTrailDrawUnit, CentreLine>(DrawUnit*);              \
    template void SubmitTrailDraw<Stride, BillboardTrailDrawUnit, PlainLine>(DrawUnit*);           \
    template void SubmitTrailDraw<Stride, BillboardTrailDrawUnit, CentreLine>(DrawUnit*);
FULGOR_TRAIL_SUBMITS(32)
FULGOR_TRAIL_SUBMITS(36)
FULGOR_TRAIL_SUBMITS(44)
FULGOR_TRAIL_SUBMITS(52)
#undef FULGOR_TRAIL_SUBMITS

} // namespace FulgorCore
