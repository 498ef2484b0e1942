#pragma once

#include <cstdint>

namespace FulgorCore {

class DrawUnit;
struct DrawPayload;

// The geometry callbacks of circles and quads, one per vertex format N
// (0-6), run by the unit's command into the room its Draw reserved:
// indices first, then the vertices, exactly the reserved room.
//
// The fan of a circle of n segments (n + 1 vertices, 3n indices): the
// triangles (b, b + 1 + k, b + 2 + k), the last closing on the first rim
// vertex as (b, b + n, b + 1); the centre at the record's translation with
// each set's transform of the origin, the rim from the unit's rim writer;
// every vertex with the polygon offset (fetched once), the record's colour
// and the unit's parameter bytes.
template <uint32_t N> void WriteFanGeometry(DrawUnit* unit, const DrawPayload& payload);
// The quad's six indices (b + 2, b + 1, b), (b + 3, b + 1, b + 2), then the
// unit's four corner vertices.
template <uint32_t N> void WriteQuadIndices(DrawUnit* unit, const DrawPayload& payload);

} // namespace FulgorCore
