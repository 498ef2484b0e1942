// The indices of ribbons written straight, for the plain loops the
// geometry benchmarks measure the runtime's writers against: per segment
// of each ribbon's n points, 6 (two vertices a point) or 12 (three).
#pragma once

#include <cstdint>
#include <cstring>

namespace bench {

inline void PlainIndices(uint16_t* out, uint16_t first, uint32_t perPoint, uint32_t ribbons,
                         uint32_t n) {
    for (uint32_t r = 0; r < ribbons; ++r)
        for (uint32_t i = 0; i + 1 < n; ++i) {
            const auto v = static_cast<uint16_t>(first + perPoint * (r * n + i));
            if (perPoint == 2) {
                const uint16_t s[6] = {uint16_t(v + 3), v, uint16_t(v + 1), uint16_t(v + 3),
                                       uint16_t(v + 2), v};
                std::memcpy(out, s, sizeof(s));
                out += 6;
            } else {
                const uint16_t s[12] = {uint16_t(v + 4),
                                        uint16_t(v + 3),
                                        v,
                                        v,
                                        uint16_t(v + 1),
                                        uint16_t(v + 4),
                                        uint16_t(v + 2),
                                        uint16_t(v + 5),
                                        uint16_t(v + 4),
                                        uint16_t(v + 4),
                                        uint16_t(v + 1),
                                        uint16_t(v + 2)};
                std::memcpy(out, s, sizeof(s));
                out += 12;
            }
        }
}

} // namespace bench
