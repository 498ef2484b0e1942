// The vertices of the four material kinds, as the runtime's writers lay
// them out and the device's input layouts read them.
#pragma once

#include <cstdint>

namespace testsupport {

struct SimpleVertex {
    float position[3];
    float offset[3]; // corner offset (a full width), polygon offset in z
    float rotation[3];
    int16_t texCoord[2]; // signed normalised
    int16_t colour[4];   // times 1000
};
static_assert(sizeof(SimpleVertex) == 48);

struct ShapeVertex {
    float position[4];
    int16_t colour[4];
    uint8_t parameters[4];
    int16_t uvSets[3][4];
};
static_assert(sizeof(ShapeVertex) == 52);

// A morphing model's targets in stream 1 are model vertices too (the
// runtime binds the target model's set at the same stride), read with the
// normal at 12 and the tangent at 16.
struct ModelVertex {
    float position[3];
    uint8_t tangent[4];
    uint8_t normal[4];
    uint8_t colour[4];
    int16_t uvSets[3][4];
};
static_assert(sizeof(ModelVertex) == 48);


struct ProjectionVertex {
    float position[3];
};

} // namespace testsupport
