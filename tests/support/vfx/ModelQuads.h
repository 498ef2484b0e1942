// Model vertices and quads for the effect writer: a vertex with its normal
// and grey level, and a quad's two triangles.
#pragma once

#include "support/vfx/EffectVertices.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace testsupport {

inline uint8_t UnitByte(float unit) {
    return static_cast<uint8_t>(std::lround(unit * 255.0f));
}

// A model vertex at p with normal n (stored at half length about 0.5), of
// grey level `shade` (white by default), opaque.
inline ModelVertex QuadVertex(float x, float y, float z, const float* n = nullptr,
                              uint8_t shade = 255) {
    ModelVertex v{};
    v.position[0] = x;
    v.position[1] = y;
    v.position[2] = z;
    const float up[3] = {0, 0, 1};
    if (!n)
        n = up;
    for (int k = 0; k < 3; ++k)
        v.normal[k] = UnitByte(n[k] * 0.5f + 0.5f);
    v.normal[3] = 255;
    v.tangent[0] = 255;
    v.tangent[1] = v.tangent[2] = 128;
    v.tangent[3] = 255;
    std::memset(v.colour, shade, 3);
    v.colour[3] = 255;
    return v;
}

inline void AppendVertex(std::vector<uint8_t>& bytes, const ModelVertex& v) {
    const auto* b = reinterpret_cast<const uint8_t*>(&v);
    bytes.insert(bytes.end(), b, b + sizeof v);
}

// A quad's four corners (rows of the rectangle) and its two triangles.
inline void AppendQuad(std::vector<uint8_t>& vertices, std::vector<uint16_t>& indices,
                       const ModelVertex (&corners)[4]) {
    const auto first = static_cast<uint16_t>(vertices.size() / sizeof(ModelVertex));
    for (const auto& v : corners)
        AppendVertex(vertices, v);
    for (uint16_t i : {0, 1, 2, 2, 1, 3})
        indices.push_back(static_cast<uint16_t>(first + i));
}

} // namespace testsupport
