#pragma once

#include "effects/Core/Memory/UnitInstancePool.h"
#include "effects/drawunits/DrawUnitOps.h"
#include "effects/drawunits/RibbonFrameValues.h"

#include <cstdint>

namespace FulgorCore {

// A strip's second pool block: the widths, colours and deltas along the
// strip that the frame geometry build refreshes each frame for the
// geometry callbacks, then its members, the vertex parameters, the point
// source (fixed at construction) and the texture words (per point, per
// vertex, N words).
struct StripFrameRecord : RibbonFrameValues {
    DrawUnitOps ops;
    uint8_t parameters[4] = {};
    uint32_t pointSource = 0;
    const uint32_t* textureWords = nullptr;
};
static_assert(sizeof(StripFrameRecord) <= kUnitBlockSize, "a strip record is one pool block");

} // namespace FulgorCore
