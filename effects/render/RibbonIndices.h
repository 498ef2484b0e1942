#pragma once

#include <cstdint>

namespace FulgorCore {

// A ribbon's triangle-list indices over `points` points of V vertices each
// (2: left, right; 3: left, centre, right), from vertex `first`, in 16-bit
// arithmetic. Per segment from v = first + V i: with two vertices (R', L,
// R) and (R', L', L); with three (C', L', L), (L, C, C'), (R, R', C') and
// (C', C, R). Returns the end of what it wrote: 6 (12) x (points - 1)
// indices, none for fewer than two points.
template <uint32_t V> uint16_t* WriteRibbonIndices(uint16_t* out, uint16_t first, uint32_t points) {
    static_assert(V == 2 || V == 3);
    for (uint32_t i = 0; i + 1 < points; ++i) {
        const auto v = static_cast<uint16_t>(first + V * i);
        const auto at = [v](uint32_t k) { return static_cast<uint16_t>(v + k); };
        if constexpr (V == 2) {
            const uint16_t six[6] = {at(3), v, at(1), at(3), at(2), v};
            for (uint16_t index : six)
                *out++ = index;
        } else {
            const uint16_t twelve[12] = {at(4), at(3), v,     v,     at(1), at(4),
                                         at(2), at(5), at(4), at(4), at(1), at(2)};
            for (uint16_t index : twelve)
                *out++ = index;
        }
    }
    return out;
}

} // namespace FulgorCore
