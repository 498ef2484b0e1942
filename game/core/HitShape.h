// A stage object's hit shape, in play-field coordinates (0..720 both ways),
// with the bounding box every kind carries.
#pragma once

#include <cstdint>

struct HitShape {
    enum Kind : uint32_t { kNone = 0, kCircle = 1, kBox = 2, kSegment = 3 };

    uint32_t kind = kNone;
    // Circle: centre x, centre y, radius, unused. Segment: x1, y1, x2, y2.
    float data[4] = {};
    float minX = 0.0f, minY = 0.0f, maxX = 0.0f, maxY = 0.0f;
};
