#pragma once

namespace FulgorCore {

// A point of a strip drawn through a list of points (from the data or the
// owner chain): its position and its place along the strip.
struct StripPoint {
    float position[3];
    float parameter;
};
static_assert(sizeof(StripPoint) == 16, "a strip point is 16 bytes");

} // namespace FulgorCore
