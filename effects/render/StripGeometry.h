#pragma once

#include "effects/drawunits/StripSources.h"
#include "effects/drawunits/StripVariant.h"

#include <cstdint>

namespace FulgorCore {

class DrawUnit;
struct DrawPayload;

// The geometry callbacks of strips over a history or a point list, one per
// vertex format N (0-6), source and variant. Each point is widened along
// s = a x (P - eye), normalised by the fast reciprocal root (a zero s stays
// zero), by the width w0 + (w1 - w0) t; colour c0 + dc t (the edges
// e0 + de t with the centre line). History: t = the node's distance over
// the newest node's (at least 0.0001), a = the node's axis. Point list: t
// as stored, a = P[prev] - P[next] with both clamped to the list. Plain:
// two vertices a point (P - side, P + side), 6(n - 1) indices; CentreLine:
// three (the centre P between them), 12(n - 1). The eye is the renderer's
// view vector, read once; the polygon offset is fetched once.
template <uint32_t N, class Source, class Variant = PlainLine>
void WriteStripGeometry(DrawUnit* unit, const DrawPayload& payload);

} // namespace FulgorCore
