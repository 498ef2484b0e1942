#pragma once

#include "effects/Core/Memory/UnitInstancePool.h"

#include <cstdint>

namespace FulgorCore {

// A ring's second pool block as its geometry callback reads it: what the
// frame geometry build put there this frame. The circles are n + 1 points
// of three floats in world space (the last closing onto the first angle);
// colour 0 is the plain band's one colour and the inner circle's with the
// centre line, colour 1 the middle and colour 2 the outer circle's. The
// texture words run per point and vertex in vertex order (outer, [middle,]
// inner), N words each.
struct RingFrameRecord {
    uint16_t colors[3][4] = {};
    const float* inner = nullptr;
    const float* middle = nullptr;
    const float* outer = nullptr;
    const uint32_t* textureWords = nullptr;
};
static_assert(sizeof(RingFrameRecord) <= kUnitBlockSize, "a ring record is one pool block");

} // namespace FulgorCore
