#pragma once

#include <cstdint>

namespace FulgorCore {

// A point of a particle field (draw type 4): 192 bytes of state. The state
// word: bit 0 expired, bit 1 live (neither: waiting for its birth), bit 2
// the random flip, bits 3-5 the target mode, bits 6-9 the pattern, bits
// 10-17 the frame cell, bits 18 and up kept from the previous state. The
// two times are the point's age and its age at its last (re-)emission, both
// in frames; an age below 0 is a birth still to come. The head (state,
// times, target) is what the emission table starts. Size (x and y span a
// quad; nothing at or below 0 is drawn), rotation (radians) and the line's
// tail (the head of the frame before, written back as the items are
// prepared) are what the vertices are made from.
struct FieldPoint {
    static constexpr uint32_t kSize = 192;
    static constexpr uint32_t kExpired = 1u << 0;
    static constexpr uint32_t kLive = 1u << 1;

    uint32_t state;
    float age;
    float emissionAge;
    float target[3];
    float position[3];
    float velocity[3];
    float size[3];
    float rotation[3];
    float tail[3];
    float values[27];
};
static_assert(sizeof(FieldPoint) == FieldPoint::kSize, "a field point keeps 192 bytes of state");

} // namespace FulgorCore
