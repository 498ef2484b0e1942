#pragma once

#include "effects/drawunits/StripVariant.h"
#include "effects/drawunits/VertexFormat.h"

#include <cstdint>
#include <cstring>

namespace FulgorCore::Renderer {

// Copies a strip's precomputed texture words into its vertices: for point
// j and its vertex k, the N words from word (j V + k) N go unchanged to
// the texture words of vertex j V + k (V vertices per point). The other
// bytes of each vertex are left as they are.
template <uint32_t N, class Variant = PlainLine>
void ScatterTexCoords(void* firstVertex, const uint32_t* words, uint32_t pointCount) {
    constexpr uint32_t kStride = VertexFormat<N>::kStride;
    constexpr uint32_t kPerPoint = Variant::kVerticesPerPoint;
    if constexpr (N != 0) {
        auto* vertex = static_cast<uint8_t*>(firstVertex) + offsetof(VertexFormat<N>, textureWords);
        for (uint32_t v = 0; v < pointCount * kPerPoint; ++v, vertex += kStride, words += N)
            std::memcpy(vertex, words, N * sizeof(uint32_t));
    }
}

} // namespace FulgorCore::Renderer
