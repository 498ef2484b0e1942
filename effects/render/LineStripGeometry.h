#pragma once

#include "effects/drawunits/StripVariant.h"

#include <cstdint>

namespace FulgorCore {

class DrawUnit;
struct DrawPayload;

// The geometry callbacks of strips along their generated line, format N
// and variant (PlainLine, CentreLine, MidKey, MidKeyCentreLine): the
// indices of the line's n points (6 or 12 a segment), then the vertices
// through the strip's writer of the same N and variant, which takes the
// middle from the data at every call.
template <uint32_t N, class Variant>
void WriteLineStripGeometry(DrawUnit* unit, const DrawPayload& payload);

} // namespace FulgorCore
