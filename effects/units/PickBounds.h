#pragma once

#include <cstdint>

namespace FulgorCore {

// The shape a pickable node is tested against in its local space: kind 0 a
// box of half extents (x, y, z), kind 1 a sphere whose squared radius is
// values[1].
struct PickBounds {
    static constexpr uint32_t kBox = 0;
    static constexpr uint32_t kSphere = 1;
    static constexpr uint32_t kKindCount = 2;

    uint32_t kind;
    float values[3];
};

// The unit data's 16 bytes read in place: no pointer, no padding.
static_assert(sizeof(PickBounds) == 16);

} // namespace FulgorCore
