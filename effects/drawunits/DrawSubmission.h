#pragma once

#include "effects/drawunits/StripVariant.h"

#include <cstdint>

namespace FulgorCore {

class DrawUnit;

// The submits of rings and trails: room for the frame's vertices and
// indices in the buffers of the unit's stride, then the unit's own command
// (rewritten each frame, so two frames reuse one object) with the geometry
// callback and the room, handed to the submit function. A refused
// reservation leaves the command as it was and draws nothing.
//
// A ring of n segments: V (n + 1) vertices, 6 (V - 1) n indices.
template <uint32_t N, class Variant = PlainLine> void SubmitRingDraw(DrawUnit* unit);
// A trail of n points, one function per vertex stride (the callback calls
// the unit's own vertex writer): V n vertices and 6 (V - 1)(n - 1)
// indices a ribbon, two ribbons for the cross trail. A trail without a
// point draws nothing (rather than asking for a count that wraps).
template <uint32_t Stride, template <uint32_t> class Kind, class Variant = PlainLine>
void SubmitTrailDraw(DrawUnit* unit);

} // namespace FulgorCore
