#pragma once

#include "effects/Core/Memory/UnitInstancePool.h"
#include "effects/drawunits/DrawUnitOps.h"

#include <cstdint>

namespace FulgorCore {

// A strip's second pool block: its members first, then what the frame
// geometry build refreshes each frame for the geometry callbacks: the
// widths (distance from the line to either edge), the colours and their
// deltas along the strip, the vertex parameters, the point source (fixed
// at construction) and the texture words (per point, per vertex, N words).
struct StripFrameRecord {
    DrawUnitOps ops;
    float headWidth = 0.0f;
    float middleWidth = 0.0f;
    float tailWidth = 0.0f;
    float centreColor[4] = {};
    float middleColor[4] = {};
    float edgeColor[4] = {};
    float firstDelta[4] = {};
    float secondDelta[4] = {};
    uint8_t parameters[4] = {};
    uint32_t pointSource = 0;
    const uint32_t* textureWords = nullptr;
};
static_assert(sizeof(StripFrameRecord) <= kUnitBlockSize, "a strip record is one pool block");

} // namespace FulgorCore
