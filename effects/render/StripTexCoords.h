#pragma once

#include "effects/Core/Math/FloatConversion.h"
#include "effects/drawunits/StripVariant.h"

#include <cstdint>

namespace FulgorCore::Renderer {

namespace StripTexCoordsDetail {

// One vertex's N pairs on a side of the strip (+1 edge A at u = +0.5, 0
// the centre, -1 edge B at u = -0.5) at v along it, each layer through its
// 2x4 transform (m0 m1 m2 m3 / m4 m5 m6 m7; the third column unused),
// times 1000 in 16 bits.
template <uint32_t N, int Side>
[[gnu::always_inline]] inline uint16_t* WriteSide(uint16_t* out, const float* transforms, float v) {
    for (uint32_t k = 0; k < N; ++k) {
        const float* m = transforms + 8 * k;
        float s = m[1] * v;
        float t = m[5] * v;
        if constexpr (Side != 0) {
            s = (Side > 0 ? m[0] * 0.5f : -(m[0] * 0.5f)) + s;
            t = (Side > 0 ? m[4] * 0.5f : -(m[4] * 0.5f)) + t;
        }
        *out++ = static_cast<uint16_t>(Math::TruncateToInt32((s + m[3]) * 1000.0f));
        *out++ = static_cast<uint16_t>(Math::TruncateToInt32((t + m[7]) * 1000.0f));
    }
    return out;
}

} // namespace StripTexCoordsDetail

// One point's texture words at v along the strip (its place less 0.5):
// edge A, [the middle,] edge B, N pairs each. Returns the next point's.
template <uint32_t N, class Variant = PlainLine>
[[gnu::always_inline]] inline uint16_t* WriteStripPointTexCoords(uint16_t* out,
                                                                 const float* transforms, float v) {
    static_assert(N >= 1 && N <= 6);
    using StripTexCoordsDetail::WriteSide;
    out = WriteSide<N, +1>(out, transforms, v);
    if constexpr (Variant::kVerticesPerPoint == 3)
        out = WriteSide<N, 0>(out, transforms, v);
    return WriteSide<N, -1>(out, transforms, v);
}

// The texture words of a strip of `pointCount` points, point by point:
// edge A (u = +0.5), with the centre line the middle (u = 0), then edge B
// (u = -0.5), each N pairs; v runs from -0.5 by 1 / (points - 1). A single
// point stays at v = -0.5.
template <uint32_t N, class Variant = PlainLine>
void WriteStripTexCoords(uint16_t* out, const float* transforms, uint32_t pointCount) {
    static_assert(N >= 1 && N <= 6);
    const float step = pointCount > 1 ? 1.0f / static_cast<float>(pointCount - 1) : 0.0f;
    float v = -0.5f;
    for (uint32_t j = 0; j < pointCount; ++j, v += step)
        out = WriteStripPointTexCoords<N, Variant>(out, transforms, v);
}

} // namespace FulgorCore::Renderer
