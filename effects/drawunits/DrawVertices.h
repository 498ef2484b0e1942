#pragma once

#include <cstdint>

namespace FulgorCore {

// The vertex records the simple draw units write, byte for byte what the
// generated vertex shaders read. Colours are four u16 of 1/1000; texture
// coordinates u16, 0x7fff standing for 1.0 on billboards and 1000 on bands.

// 32 bytes: lines (type 1). The last four bytes are not written.
struct LineVertex {
    float position[4];
    uint16_t color[4];
    uint8_t parameters[4];
    uint8_t unused[4];
};
static_assert(sizeof(LineVertex) == 32);

// 36 bytes: bands (type 3). The last four bytes are not written.
struct BandVertex {
    float position[4];
    uint16_t color[4];
    uint8_t parameters[4];
    uint16_t uv[2];
    uint8_t unused[4];
};
static_assert(sizeof(BandVertex) == 36);

// 48 bytes: camera-facing quads (types 2 and 11), expanded by the vertex
// shader from the particle's position, the corner offset and the
// orientation.
struct BillboardVertex {
    float position[3];
    float corner[2];
    float w;
    float orientation[3];
    uint16_t uv[2];
    uint16_t color[4];
};
static_assert(sizeof(BillboardVertex) == 48);

// A quad's six indices from its first vertex v: (v+2, v+1, v), (v+3, v+1,
// v+2).
inline void WriteQuadIndices(uint16_t* indices, uint16_t v) {
    indices[0] = static_cast<uint16_t>(v + 2);
    indices[1] = static_cast<uint16_t>(v + 1);
    indices[2] = v;
    indices[3] = static_cast<uint16_t>(v + 3);
    indices[4] = static_cast<uint16_t>(v + 1);
    indices[5] = static_cast<uint16_t>(v + 2);
}

// What the billboard vertices of one quad share.
struct BillboardShared {
    const float* position;
    float w;
    const float* orientation;
    const uint16_t* color;
};

inline void WriteBillboardVertex(BillboardVertex& out, const BillboardShared& shared, float cornerX,
                                 float cornerY, uint16_t u, uint16_t v) {
    for (uint32_t i = 0; i < 3; ++i) {
        out.position[i] = shared.position[i];
        out.orientation[i] = shared.orientation[i];
    }
    out.corner[0] = cornerX;
    out.corner[1] = cornerY;
    out.w = shared.w;
    out.uv[0] = u;
    out.uv[1] = v;
    for (uint32_t c = 0; c < 4; ++c)
        out.color[c] = shared.color[c];
}

} // namespace FulgorCore
