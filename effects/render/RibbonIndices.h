#pragma once

#include "effects/render/BandIndices.h"

#include <cstdint>

namespace FulgorCore {

// A ribbon's triangle-list indices over `points` points of V vertices each
// (2: left, right; 3: left, centre, right), from vertex `first`: the band
// patterns of strips, one segment between each two points. Returns the end
// of what it wrote: 6 (12) x (points - 1) indices, none for fewer than two
// points.
template <uint32_t V> uint16_t* WriteRibbonIndices(uint16_t* out, uint16_t first, uint32_t points) {
    static_assert(V == 2 || V == 3);
    if (points < 2)
        return out;
    if constexpr (V == 2)
        return Renderer::WriteBandIndices<Renderer::kStripBand>(out, first, points - 1);
    else
        return Renderer::WriteBandIndices<Renderer::kCentreLineBand>(out, first, points - 1);
}

} // namespace FulgorCore
