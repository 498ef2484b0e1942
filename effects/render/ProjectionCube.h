#pragma once

#include <cstdint>

namespace FulgorCore {

// The static unit cube every projection (decal) volume is drawn with: eight
// corners of three floats and twelve triangles.
struct ProjectionCube {
    static constexpr float kVertices[8][3] = {
        {-0.5f, -0.5f, -0.5f}, {-0.5f, 0.5f, -0.5f}, {-0.5f, 0.5f, 0.5f}, {-0.5f, -0.5f, 0.5f},
        {0.5f, -0.5f, -0.5f},  {0.5f, 0.5f, -0.5f},  {0.5f, 0.5f, 0.5f},  {0.5f, -0.5f, 0.5f}};
    static constexpr uint16_t kIndices[36] = {0, 1, 2, 2, 3, 0, 7, 6, 5, 5, 4, 7, 5, 1, 0, 0, 4, 5,
                                              2, 6, 7, 7, 3, 2, 6, 2, 1, 1, 5, 6, 7, 4, 0, 0, 3, 7};
};

static_assert(sizeof(ProjectionCube::kVertices) == 96);
static_assert(sizeof(ProjectionCube::kIndices) == 72);

} // namespace FulgorCore
