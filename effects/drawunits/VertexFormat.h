#pragma once

#include "effects/drawunits/DrawVertices.h"

#include <cstddef>
#include <cstdint>

namespace FulgorCore {

// The vertex of generated geometry with N texture-coordinate sets (0-6),
// byte for byte what the generated shaders read: the position with the
// draw unit's polygon offset as w, the colour as four u16 of 1/1000, the
// four parameter bytes, then one word per set (u then v, signed 16-bit of
// 1/1000). Pairs of words form one attribute, so an odd N leaves the last
// attribute's upper half unwritten, and N = 0 keeps four bytes of padding.
// No pointer ever enters it.
template <uint32_t N> struct VertexFormat {
    static_assert(N <= 6, "six texture-coordinate sets at most");
    static constexpr uint32_t kTextureWords = N;
    static constexpr uint32_t kWordRoom = N == 0 ? 1 : 2 * ((N + 1) / 2);
    static constexpr uint32_t kStride = 28 + 4 * kWordRoom;

    float position[4];
    uint16_t color[4];
    uint8_t parameters[4];
    uint32_t textureWords[kWordRoom]; // the first N written
};

template <uint32_t N> constexpr bool HasVertexLayout() {
    using V = VertexFormat<N>;
    return sizeof(V) == V::kStride && offsetof(V, color) == 16 && offsetof(V, parameters) == 24 &&
           offsetof(V, textureWords) == 28;
}
static_assert(HasVertexLayout<0>() && VertexFormat<0>::kStride == 32);
static_assert(HasVertexLayout<1>() && VertexFormat<1>::kStride == 36);
static_assert(HasVertexLayout<2>() && VertexFormat<2>::kStride == 36);
static_assert(HasVertexLayout<3>() && VertexFormat<3>::kStride == 44);
static_assert(HasVertexLayout<4>() && VertexFormat<4>::kStride == 44);
static_assert(HasVertexLayout<5>() && VertexFormat<5>::kStride == 52);
static_assert(HasVertexLayout<6>() && VertexFormat<6>::kStride == 52);

// The simple draw units' records are these layouts under their own names:
// lines are format 0, bands format 1.
static_assert(sizeof(LineVertex) == VertexFormat<0>::kStride && offsetof(LineVertex, color) == 16 &&
              offsetof(LineVertex, parameters) == 24);
static_assert(sizeof(BandVertex) == VertexFormat<1>::kStride && offsetof(BandVertex, color) == 16 &&
              offsetof(BandVertex, parameters) == 24 && offsetof(BandVertex, uv) == 28);

// The camera-facing particle vertex: position, offset (its z the polygon
// offset), rotation, texture coordinate, colour.
inline constexpr uint32_t kBillboardVertexStride = 48;
static_assert(sizeof(BillboardVertex) == kBillboardVertexStride &&
              offsetof(BillboardVertex, corner) == 12 && offsetof(BillboardVertex, w) == 20 &&
              offsetof(BillboardVertex, orientation) == 24 && offsetof(BillboardVertex, uv) == 36 &&
              offsetof(BillboardVertex, color) == 40);

} // namespace FulgorCore
