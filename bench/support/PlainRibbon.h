// A plain loop writing what a trail's or generated-line strip's geometry
// callback writes (indices, texture words, vertices of 36 bytes), from the
// same points, axes, words and frame values, for the benchmarks to time
// the draw units against.
#pragma once

#include "effects/Core/Math/FastRoot.h"
#include "effects/drawunits/DrawCommand.h"
#include "effects/drawunits/PackColor.h"
#include "effects/drawunits/RibbonFrameValues.h"

#include "bench/support/PlainRibbonIndices.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace bench {

namespace Fx = FulgorCore;

constexpr uint32_t kStride = 36; // formats 1 and 2

// One ribbon as both sides see it: the arrays prepared once, where its
// indices and vertices go, and what the plain loop needs to know of it.
struct Ribbon {
    uint32_t kind; // 0 axis, 1 cross, 2 facing
    uint32_t perPoint;
    bool twoRanges;
    uint32_t words; // per vertex
    uint32_t n;
    uint32_t middle;
    float polygonOffset;
    uint8_t parameters[4];
    std::vector<float> positions, axes[2];
    std::vector<uint32_t> textureWords;
    size_t vertexAt, indexAt;
    uint16_t first;
    Fx::DrawUnit* unit = nullptr;
    Fx::DrawCommand::Geometry geometry = nullptr;
};

// Ribbon `seed`'s points, its kind, variant and sizes set: a helix, its
// first axes turning along it, its second ones straight up; its texture
// words sized; and its place in the buffers after those before it.
struct RibbonPlaces {
    size_t vertexBytes = 0;
    size_t indexCount = 0;
    uint32_t firstVertex = 0;
};
inline void LayRibbon(Ribbon& r, uint32_t seed, RibbonPlaces& at) {
    r.positions.resize(3 * r.n);
    r.axes[0].resize(3 * r.n);
    r.axes[1].resize(3 * r.n);
    for (uint32_t p = 0; p < r.n; ++p) {
        const float a = 0.2f * static_cast<float>(p) + static_cast<float>(seed);
        const float pos[3] = {std::cos(a), 0.1f * static_cast<float>(p), std::sin(a)};
        const float first[3] = {-std::sin(a), 0.0f, std::cos(a)};
        const float second[3] = {0.0f, 0.5f, 0.0f};
        std::memcpy(&r.positions[3 * p], pos, 12);
        std::memcpy(&r.axes[0][3 * p], first, 12);
        std::memcpy(&r.axes[1][3 * p], second, 12);
    }
    r.textureWords.resize(size_t{r.n} * r.perPoint * r.words);
    const uint32_t ribbons = r.kind == 1 ? 2 : 1;
    const uint32_t count = r.n * r.perPoint * ribbons;
    r.vertexAt = at.vertexBytes;
    r.indexAt = at.indexCount;
    r.first = static_cast<uint16_t>(at.firstVertex);
    at.vertexBytes += size_t{count} * kStride;
    at.indexCount += size_t{r.n - 1} * (r.perPoint == 3 ? 12 : 6) * ribbons;
    at.firstVertex += count;
}

struct Head {
    float position[4];
    uint16_t color[4];
    uint8_t parameters[4];
};

inline void PackAt(uint16_t* out, const float* base, const float* slope, float t) {
    float c[4];
    for (int i = 0; i < 4; ++i)
        c[i] = base[i] + t * slope[i];
    Fx::PackFloat4ToU16(out, c);
}

inline void PlainPoint(uint8_t* at, Head& h, uint32_t perPoint, const float* p, const float* d,
                       float w, const uint16_t* centre, const uint16_t* edge) {
    std::memcpy(h.color, edge, 8);
    for (int c = 0; c < 3; ++c)
        h.position[c] = p[c] - w * d[c];
    std::memcpy(at, &h, 28);
    if (perPoint == 3) {
        Head m = h;
        std::memcpy(m.position, p, 12);
        std::memcpy(m.color, centre, 8);
        std::memcpy(at + kStride, &m, 28);
    }
    for (int c = 0; c < 3; ++c)
        h.position[c] = p[c] + w * d[c];
    std::memcpy(at + (perPoint - 1) * kStride, &h, 28);
}

inline void PlainRange(const Ribbon& r, uint8_t* out, const float* camera, uint32_t from,
                       uint32_t to, float step, float width, float span, const float* centre,
                       const float* centreSlope, const float* edge, const float* edgeSlope) {
    Head h;
    h.position[3] = r.polygonOffset;
    std::memcpy(h.parameters, r.parameters, 4);
    const size_t pointBytes = size_t{r.perPoint} * kStride;
    float t = 0.0f;
    for (uint32_t i = from; i < to; ++i, t += step) {
        uint16_t c[4], e[4];
        PackAt(c, centre, centreSlope, t);
        if (r.perPoint == 3)
            PackAt(e, edge, edgeSlope, t);
        const uint16_t* sides = r.perPoint == 3 ? e : c;
        const float w = width + span * t;
        const float* p = &r.positions[3 * i];
        float d[3];
        if (r.kind == 2) {
            const float* a = &r.positions[3 * (i > 0 ? i - 1 : 0)];
            const float* b = &r.positions[3 * (i + 1 < r.n ? i + 1 : r.n - 1)];
            const float tv[3] = {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
            const float v[3] = {p[0] - camera[0], p[1] - camera[1], p[2] - camera[2]};
            d[0] = tv[1] * v[2] - tv[2] * v[1];
            d[1] = tv[2] * v[0] - tv[0] * v[2];
            d[2] = tv[0] * v[1] - tv[1] * v[0];
            const float y = Fx::Math::ReciprocalSqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
            d[0] *= y;
            d[1] *= y;
            d[2] *= y;
        } else {
            std::memcpy(d, &r.axes[0][3 * i], 12);
        }
        uint8_t* at = out + i * pointBytes;
        PlainPoint(at, h, r.perPoint, p, d, w, c, sides);
        if (r.kind == 1) {
            std::memcpy(d, &r.axes[1][3 * i], 12);
            PlainPoint(at + r.n * pointBytes, h, r.perPoint, p, d, w, c, sides);
        }
    }
}

// The ribbon's indices, texture words and vertices with `x`'s widths,
// colours and deltas, as the units' geometry callbacks write them.
inline void WritePlainRibbon(const Ribbon& r, const Fx::RibbonFrameValues& x, uint8_t* vertices,
                             uint16_t* indices, const float* camera) {
    const uint32_t ribbons = r.kind == 1 ? 2 : 1;
    const uint32_t n = r.n;
    bench::PlainIndices(indices, r.first, r.perPoint, ribbons, n);
    for (uint32_t rb = 0; rb < ribbons; ++rb) {
        uint8_t* v = vertices + size_t{rb} * n * r.perPoint * kStride + 28;
        const uint32_t* w = r.textureWords.data();
        for (uint32_t j = 0; j < n * r.perPoint; ++j, v += kStride, w += r.words)
            std::memcpy(v, w, 4 * r.words);
    }
    if (!r.twoRanges) {
        PlainRange(r, vertices, camera, 0, n, n > 1 ? 1.0f / static_cast<float>(n - 1) : 0.0f,
                   x.headWidth, x.tailWidth - x.headWidth, x.centreColor, x.firstDelta, x.edgeColor,
                   x.secondDelta);
        return;
    }
    const uint32_t k = r.middle < n ? r.middle : n;
    if (k > 0)
        PlainRange(r, vertices, camera, 0, k, 1.0f / static_cast<float>(k), x.headWidth,
                   x.middleWidth - x.headWidth, x.centreColor, x.firstDelta, x.edgeColor,
                   x.secondDelta);
    if (k < n) {
        const uint32_t rest = n - k - 1;
        PlainRange(r, vertices, camera, k, n, rest ? 1.0f / static_cast<float>(rest) : 1.0f,
                   x.middleWidth, x.tailWidth - x.middleWidth, x.middleColor,
                   r.perPoint == 3 ? x.thirdDelta : x.secondDelta, x.middleEdgeColor,
                   x.fourthDelta);
    }
}

} // namespace bench
