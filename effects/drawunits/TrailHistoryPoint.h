#pragma once

namespace FulgorCore {

// A point of a trail's history, index 0 the newest: its position and the
// length of the segment to the next older point (0 for the points of the
// first frame).
struct TrailHistoryPoint {
    float position[3];
    float segmentLength;
};
static_assert(sizeof(TrailHistoryPoint) == 16, "a trail point is 16 bytes");

} // namespace FulgorCore
