#pragma once

#include "effects/Core/Math/FastRoot.h"
#include "effects/drawunits/PackColor.h"
#include "effects/drawunits/RibbonFrameValues.h"
#include "effects/drawunits/ScatterTexCoords.h"
#include "effects/drawunits/StripVariant.h"
#include "effects/drawunits/VertexFormat.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace FulgorCore {

// Where a ribbon spreads its width at a point: along the axis recorded
// with the point (axis trails), along each of the point's two recorded
// axes as two ribbons (cross trails), or across the line as the camera
// sees it (billboard trails and generated-line strips). Recorded axes are
// used as they are, so their length scales the width.
struct AlongAxis {
    static constexpr uint32_t kRibbons = 1;
};
struct CrossedAxes {
    static constexpr uint32_t kRibbons = 2;
};
struct FacingCamera {
    static constexpr uint32_t kRibbons = 1;
};

// What one write of a ribbon reads besides its widths, colours and deltas.
struct RibbonInput {
    uint32_t pointCount = 0;
    // The two-range variants' middle as the data gives it (the first
    // range's point count); the writer never lets it pass the point count.
    uint32_t middle = 0;
    float polygonOffset = 0.0f;
    uint8_t parameters[4] = {};
    // Per point, per vertex of one ribbon, N words.
    const uint32_t* textureWords = nullptr;
    const float* positions = nullptr;
    const float* axes[2] = {};
    float camera[3] = {};
};

// The camera position the facing ribbons turn to: the renderer's view
// vector when the command runs (zero in the screen views, or with no
// renderer).
void CopyViewVector(float* out);

namespace RibbonDetail {

// The bytes of a vertex a ribbon writes ahead of its texture words.
struct VertexHead {
    float position[4];
    uint16_t color[4];
    uint8_t parameters[4];
};
static_assert(sizeof(VertexHead) == 28);

// Points [first, end) with t from 0 by `step`: width `width` + `span` t,
// the centre colour `centre` + t `centreSlope`, the edges' likewise (read
// only with a centre line).
struct Range {
    uint32_t first;
    uint32_t end;
    float step;
    float width;
    float span;
    const float* centre;
    const float* centreSlope;
    const float* edge;
    const float* edgeSlope;
};

inline void PackAt(uint16_t* out, const float* base, const float* slope, float t) {
    const float c[4] = {base[0] + t * slope[0], base[1] + t * slope[1], base[2] + t * slope[2],
                        base[3] + t * slope[3]};
    PackFloat4ToU16(out, c);
}

// (P[prev] - P[next]) x (P[i] - camera), scaled by the approximate inverse
// length; the end points are their own missing neighbour, and a zero
// product stays zero.
inline void FacingSide(float* d, const float* positions, uint32_t i, uint32_t n,
                       const float* camera) {
    const float* p = positions + 3 * size_t{i};
    const float* prev = positions + 3 * size_t{i > 0 ? i - 1 : 0};
    const float* next = positions + 3 * size_t{i + 1 < n ? i + 1 : n - 1};
    const float t[3] = {prev[0] - next[0], prev[1] - next[1], prev[2] - next[2]};
    const float v[3] = {p[0] - camera[0], p[1] - camera[1], p[2] - camera[2]};
    d[0] = t[1] * v[2] - t[2] * v[1];
    d[1] = t[2] * v[0] - t[0] * v[2];
    d[2] = t[0] * v[1] - t[1] * v[0];
    const float y = Math::ReciprocalSqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    d[0] *= y;
    d[1] *= y;
    d[2] *= y;
}

// One point's vertices: P - w D, [P,] P + w D. Only the 28 bytes ahead of
// the texture words are written.
template <uint32_t Stride, uint32_t V>
void WritePoint(uint8_t* at, VertexHead& head, const float* p, const float* d, float w,
                const uint16_t* centre, const uint16_t* edge) {
    std::memcpy(head.color, edge, sizeof(head.color));
    for (uint32_t c = 0; c < 3; ++c)
        head.position[c] = p[c] - w * d[c];
    std::memcpy(at, &head, sizeof(head));
    if constexpr (V == 3) {
        VertexHead middle = head;
        std::memcpy(middle.position, p, 3 * sizeof(float));
        std::memcpy(middle.color, centre, sizeof(middle.color));
        std::memcpy(at + Stride, &middle, sizeof(middle));
    }
    for (uint32_t c = 0; c < 3; ++c)
        head.position[c] = p[c] + w * d[c];
    std::memcpy(at + (V - 1) * Stride, &head, sizeof(head));
}

template <uint32_t N, class Facing, uint32_t V>
void WriteRange(uint8_t* out, const RibbonInput& in, const Range& g) {
    constexpr uint32_t kStride = VertexFormat<N>::kStride;
    constexpr size_t kPointBytes = size_t{V} * kStride;
    const size_t secondRibbon = size_t{in.pointCount} * kPointBytes;
    VertexHead head;
    head.position[3] = in.polygonOffset;
    std::memcpy(head.parameters, in.parameters, sizeof(head.parameters));
    float t = 0.0f;
    for (uint32_t i = g.first; i < g.end; ++i, t += g.step) {
        uint16_t centre[4];
        uint16_t edge[4];
        PackAt(centre, g.centre, g.centreSlope, t);
        if constexpr (V == 3)
            PackAt(edge, g.edge, g.edgeSlope, t);
        const uint16_t* sides = V == 3 ? edge : centre;
        const float w = g.width + g.span * t;
        const float* p = in.positions + 3 * size_t{i};
        uint8_t* at = out + i * kPointBytes;
        float d[3];
        if constexpr (std::is_same_v<Facing, FacingCamera>) {
            FacingSide(d, in.positions, i, in.pointCount, in.camera);
        } else {
            std::memcpy(d, in.axes[0] + 3 * size_t{i}, sizeof(d));
        }
        WritePoint<kStride, V>(at, head, p, d, w, centre, sides);
        if constexpr (Facing::kRibbons == 2) {
            std::memcpy(d, in.axes[1] + 3 * size_t{i}, sizeof(d));
            WritePoint<kStride, V>(at + secondRibbon, head, p, d, w, centre, sides);
        }
    }
}

} // namespace RibbonDetail

// The vertices of a ribbon of vertex format N: the texture words copied
// first, then the points in order, their width and colours running from
// the head (point 0) to the tail by the point index, t accumulated by
// addition. Two ranges run head to middle over the first `middle` points
// (never quite reaching the middle values) and middle to tail over the
// rest. Writes pointCount x V vertices per ribbon and nothing else; the
// bytes past the texture words stay as they were.
template <uint32_t N, class Facing, class Variant>
void WriteRibbon(void* vertices, const RibbonInput& in, const RibbonFrameValues& r) {
    constexpr uint32_t kStride = VertexFormat<N>::kStride;
    constexpr uint32_t kPerPoint = Variant::kVerticesPerPoint;
    const uint32_t n = in.pointCount;
    auto* out = static_cast<uint8_t*>(vertices);
    Renderer::ScatterTexCoords<N, Variant>(out, in.textureWords, n);
    // The record holds one ribbon's words; the second ribbon of a cross
    // takes the same, so its vertices never sample what the buffer held.
    if constexpr (Facing::kRibbons == 2)
        Renderer::ScatterTexCoords<N, Variant>(out + size_t{n} * kPerPoint * kStride,
                                               in.textureWords, n);
    const auto range = [&](uint32_t first, uint32_t end, float step, float from, float to,
                           const float* centre, const float* centreSlope, const float* edge,
                           const float* edgeSlope) {
        RibbonDetail::WriteRange<N, Facing, kPerPoint>(
            out, in, {first, end, step, from, to - from, centre, centreSlope, edge, edgeSlope});
    };
    if constexpr (!Variant::kTwoRanges) {
        // One point never steps.
        const float step = n > 1 ? 1.0f / static_cast<float>(n - 1) : 0.0f;
        range(0, n, step, r.headWidth, r.tailWidth, r.centreColor, r.firstDelta, r.edgeColor,
              r.secondDelta);
    } else {
        // A middle past the points would read past them and write past the
        // room reserved for them.
        const uint32_t k = in.middle < n ? in.middle : n;
        if (k > 0)
            range(0, k, 1.0f / static_cast<float>(k), r.headWidth, r.middleWidth, r.centreColor,
                  r.firstDelta, r.edgeColor, r.secondDelta);
        if (k < n) {
            const uint32_t rest = n - k - 1;
            range(k, n, rest == 0 ? 1.0f : 1.0f / static_cast<float>(rest), r.middleWidth,
                  r.tailWidth, r.middleColor, kPerPoint == 3 ? r.thirdDelta : r.secondDelta,
                  r.middleEdgeColor, r.fourthDelta);
        }
    }
}

} // namespace FulgorCore
