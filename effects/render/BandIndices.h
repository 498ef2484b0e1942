#pragma once

#include <cstdint>

namespace FulgorCore::Renderer {

// The index patterns of bands drawn as triangle lists, one segment at a
// time: v is the first vertex of the segment's first point and grows by the
// vertices per point (2, or 3 with a centre line) from one segment to the
// next, in 16-bit arithmetic so indices wrap past 65535. All three turn
// their triangles the same way when the first vertex of each point lies on
// one edge of the band and its last on the other.
struct BandPattern {
    uint32_t verticesPerPoint;
    uint32_t count;
    uint8_t offsets[12];
};
// Rings: (outer i, inner i, inner i+1), (inner i+1, outer i+1, outer i).
inline constexpr BandPattern kRingBand = {2, 6, {0, 1, 3, 3, 2, 0}};
// Strips and trails: the same triangles from another corner.
inline constexpr BandPattern kStripBand = {2, 6, {3, 0, 1, 3, 2, 0}};
// Three vertices a point: each quad of the plain band split into four.
inline constexpr BandPattern kCentreLineBand = {3, 12, {4, 3, 0, 0, 1, 4, 2, 5, 4, 4, 1, 2}};

// Writes the pattern for `segments` segments from first vertex `first`;
// returns the index after the last written.
template <const BandPattern& P>
inline uint16_t* WriteBandIndices(uint16_t* out, uint16_t first, uint32_t segments) {
    uint16_t v = first;
    for (uint32_t s = 0; s < segments; ++s, v = static_cast<uint16_t>(v + P.verticesPerPoint))
        for (uint32_t k = 0; k < P.count; ++k)
            *out++ = static_cast<uint16_t>(v + P.offsets[k]);
    return out;
}

} // namespace FulgorCore::Renderer
