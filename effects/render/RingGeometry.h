#pragma once

#include "effects/drawunits/StripVariant.h"

#include <cstdint>

namespace FulgorCore {

class DrawUnit;
struct DrawPayload;

// The geometry callbacks of rings, one per vertex format N (0-6) and
// variant: a band of n segments over the n + 1 points of each circle of
// the ring's frame record, everything but the indices copied from the
// record. Plain: two vertices a point (outer, inner; colour 0), 6n indices.
// CentreLine: three (outer colour 2, middle colour 1, inner colour 0), 12n
// indices. Every vertex takes the polygon offset (fetched once) and the
// unit's parameter bytes; any n whose room was reserved is written, n = 0
// giving the first point's vertices and no index.
template <uint32_t N, class Variant = PlainLine>
void WriteRingGeometry(DrawUnit* unit, const DrawPayload& payload);

} // namespace FulgorCore
