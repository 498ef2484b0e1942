#pragma once

#include <cstdint>

namespace FulgorCore {

struct RenderCommand;

// One drawn effect instance of a layer: the shader constants its batches
// share and the chain of its render commands. Records lie back to back
// from the record area's base, record n at base + 72 n.
struct DrawRecord {
    const float* matrix;              // the view's 4x4: vertex registers 8-11
    const float* effectLight;         // two float4, or null: registers 19-20 / 38-39
    const float* alphaLightMatrix;    // four rows of three floats: pixel 8-11
    const float* alphaLightParameter; // two floats, or null: pixel 12
    float rootColor[4];               // vertex register 13
    // The two viewport reciprocals, the soft-particle distance and 1 when
    // that distance is negative: pixel register 14.
    float screenParameter[4];
    RenderCommand* firstCommand;
};
static_assert(sizeof(DrawRecord) == 72, "four pointers, two float4 and the chain");

} // namespace FulgorCore
