#pragma once

#include <cstdint>

namespace FulgorCore {

// One node of a strip's position history: linked both ways, the newest at
// the front. The axis points from the node toward the older positions; the
// distance is the node's place along the chain, 0 at the first node and
// growing toward the newest, which the strip's geometry divides by the
// newest node's to place a node along the strip.
struct PointHistoryEntry {
    PointHistoryEntry* link;
    PointHistoryEntry* next;
    float position[3];
    float axis[3];
    float distance;
};
static_assert(sizeof(PointHistoryEntry) == 48, "a history node is 48 bytes");

} // namespace FulgorCore
