#pragma once

#include "effects/drawunits/StripVariant.h"

#include <cstdint>

namespace FulgorCore {

class DrawUnit;
struct DrawPayload;

// The geometry callbacks of the trails (Kind: AxisTrailDrawUnit,
// CrossTrailDrawUnit or BillboardTrailDrawUnit): the indices of the
// trail's n points, V = 2 or (CentreLine) 3 vertices a point, the cross
// trail's second ribbon from b + V n; then the unit's `write` member with
// the vertex destination. The two-range trails use the callback of their
// vertex count.
template <template <uint32_t> class Kind, class Variant = PlainLine>
void WriteTrailIndices(DrawUnit* unit, const DrawPayload& payload);

} // namespace FulgorCore
