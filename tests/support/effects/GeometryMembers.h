// Stand-ins for the members a circle, quad, ring or strip gets from its
// data, with shapes the tests can compute by hand: a unit circle in the xy
// plane as the circle's rim, the square of corners (+-1, +-1) as the
// quad's, rings and history strips built about their owner in the xy
// plane, with the runtime's own submits (a ring its own command, a strip a
// command from the record area).
#pragma once

#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Memory/FrameWorkMemory.h"
#include "effects/drawunits/CircleDrawUnit.h"
#include "effects/drawunits/DrawRenderer.h"
#include "effects/drawunits/DrawSubmission.h"
#include "effects/drawunits/DrawUnitOps.h"
#include "effects/drawunits/DrawUnitOwner.h"
#include "effects/drawunits/PackColor.h"
#include "effects/drawunits/QuadDrawUnit.h"
#include "effects/drawunits/RingDrawUnit.h"
#include "effects/drawunits/RingFrameRecord.h"
#include "effects/drawunits/StripDrawUnitBase.h"
#include "effects/drawunits/VertexFormat.h"
#include "effects/render/RingGeometry.h"
#include "effects/render/StripGeometry.h"
#include "effects/render/StripTexCoords.h"
#include "effects/units/ParticleInstance.h"

#include <cmath>
#include <cstring>

namespace testsupport::geometry {

// A 2x4 texture transform applied to (x, y): its u and v rows.
inline uint32_t TransformedWord(const float* t, float x, float y) {
    return FulgorCore::PackTextureWord(t[0] * x + t[1] * y + t[3], t[4] * x + t[5] * y + t[7]);
}

// Point i of a circle of n segments, (cos, sin) of 2 pi i / n: from the
// runtime's table of n + 1 points where it has one.
inline void CirclePoint(uint32_t n, uint32_t i, float* x, float* y) {
    const float* table = n >= 3 ? FulgorCore::Engine::GetCirclePointTable(n - 3) : nullptr;
    if (table) {
        *x = table[2 * i];
        *y = table[2 * i + 1];
        return;
    }
    const float a = n ? 6.2831853f * static_cast<float>(i % n) / static_cast<float>(n) : 0.0f;
    *x = std::cos(a);
    *y = std::sin(a);
}

// Rim point i of n: (cos, sin) of 2 pi i / n through the matrix's x and y
// rows, each set's transform applied to the same (cos, sin).
template <uint32_t N>
void UnitCircleRim(const FulgorCore::CircleDrawUnit<N>*, void* firstRim, int32_t n, const float* m,
                   const float* transforms) {
    constexpr uint32_t kStride = FulgorCore::VertexFormat<N>::kStride;
    auto* v = static_cast<uint8_t*>(firstRim);
    for (int32_t i = 0; i < n; ++i, v += kStride) {
        float x, y;
        CirclePoint(static_cast<uint32_t>(n), static_cast<uint32_t>(i), &x, &y);
        const float p[3] = {m[9] + x * m[0] + y * m[3], m[10] + x * m[1] + y * m[4],
                            m[11] + x * m[2] + y * m[5]};
        std::memcpy(v, p, sizeof p);
        for (uint32_t k = 0; k < N; ++k) {
            const uint32_t word = TransformedWord(transforms + 8 * k, x, y);
            std::memcpy(v + 28 + 4 * k, &word, 4);
        }
    }
}

// Corners (-1, 1), (1, 1), (-1, -1), (1, -1) through the matrix.
template <uint32_t N>
void SquareCorners(const FulgorCore::QuadDrawUnit<N>*, float* corners, const float* m) {
    static constexpr float kSquare[4][2] = {{-1, 1}, {1, 1}, {-1, -1}, {1, -1}};
    for (uint32_t k = 0; k < 4; ++k)
        for (uint32_t c = 0; c < 3; ++c)
            corners[3 * k + c] = m[9 + c] + kSquare[k][0] * m[c] + kSquare[k][1] * m[3 + c];
}

// The shapes the builds below make.
struct Shapes {
    // Ring: the inner and outer radius about the owner; the middle circle
    // halfway.
    static inline float ringInner = 0.5f;
    static inline float ringOuter = 1.0f;
    // Strip: the distance of each edge from the line at its head and tail.
    static inline float stripHead = 0.25f;
    static inline float stripTail = 0.25f;
};

// The ring's frame geometry: its n + 1 points per circle about the owner
// in the xy plane (point n on point 0), every colour the unit's draw
// colour, the parameter bytes, and the texture words of each vertex from
// its centred transforms at (+0.5, s) outer, (0, s) middle, (-0.5, s)
// inner, s = -0.5 + j / n. Without frame memory the owner ends.
template <uint32_t N, class Variant = FulgorCore::PlainLine>
void BuildRing(FulgorCore::DrawUnit* unit, const FulgorCore::DrawClock& clock, const float*,
               float) {
    auto* ring = static_cast<FulgorCore::RingDrawUnit*>(unit);
    constexpr uint32_t kPerPoint = Variant::kVerticesPerPoint;
    const uint32_t n = ring->segmentCount;
    const uint32_t points = n + 1;
    const uint32_t bytes = points * (12 * kPerPoint + 4 * kPerPoint * N);
    auto* memory = static_cast<uint8_t*>(FulgorCore::Engine::GetFrameWorkMemory().Allocate(bytes));
    if (!memory) {
        ring->ownerUnit->Finish();
        return;
    }
    FulgorCore::RingFrameRecord& r = *ring->record;
    auto* outer = reinterpret_cast<float*>(memory);
    float* inner = outer + 3 * points;
    float* middle = kPerPoint == 3 ? inner + 3 * points : nullptr;
    auto* words = reinterpret_cast<uint32_t*>(outer + 3 * kPerPoint * points);
    const float* c = FulgorCore::DrawUnitOwner::Position(ring->ownerUnit);
    const float mid = 0.5f * (Shapes::ringInner + Shapes::ringOuter);
    float transforms[8 * 6] = {};
    ring->EvaluateCentredTransforms<N>(transforms, clock);
    for (uint32_t j = 0; j < points; ++j) {
        float x, y;
        CirclePoint(n, j, &x, &y);
        const float radii[3] = {Shapes::ringOuter, mid, Shapes::ringInner};
        float* circles[3] = {outer, middle, inner};
        for (uint32_t k = 0; k < 3; ++k)
            if (circles[k]) {
                circles[k][3 * j] = c[0] + radii[k] * x;
                circles[k][3 * j + 1] = c[1] + radii[k] * y;
                circles[k][3 * j + 2] = c[2];
            }
        const float s = n ? -0.5f + static_cast<float>(j) / static_cast<float>(n) : -0.5f;
        const float across[3] = {0.5f, kPerPoint == 3 ? 0.0f : -0.5f, -0.5f};
        for (uint32_t k = 0; k < kPerPoint; ++k)
            for (uint32_t l = 0; l < N; ++l)
                *words++ = TransformedWord(transforms + 8 * l, across[k], s);
    }
    r.outer = outer;
    r.inner = inner;
    r.middle = middle;
    r.textureWords = reinterpret_cast<const uint32_t*>(outer + 3 * kPerPoint * points);
    float color[4];
    ring->DrawColor(color, ring->ownerUnit->GetColor(), clock);
    for (auto& packed : r.colors)
        FulgorCore::PackFloat4ToU16(packed, color);
    ring->EvaluateVertexParameters(ring->parameters, clock);
}

template <uint32_t N, class Variant = FulgorCore::PlainLine> FulgorCore::DrawUnitOps RingMembers() {
    FulgorCore::DrawUnitOps ops;
    ops.build = BuildRing<N, Variant>;
    ops.submit = FulgorCore::SubmitRingDraw<N, Variant>;
    return ops;
}

// The strip's frame geometry: the widths of Shapes, the draw colour at the
// head fading to transparent at the tail (edges the same), the parameter
// bytes and the texture words of its points.
template <uint32_t N, class Variant = FulgorCore::PlainLine>
void BuildStrip(FulgorCore::DrawUnit* unit, const FulgorCore::DrawClock& clock,
                const float* transforms, float) {
    auto* strip = static_cast<FulgorCore::StripDrawUnitBase*>(unit);
    FulgorCore::StripFrameRecord& r = *strip->record;
    r.headWidth = Shapes::stripHead;
    r.tailWidth = Shapes::stripTail;
    strip->DrawColor(r.centreColor, strip->ownerUnit->GetColor(), clock);
    std::memcpy(r.edgeColor, r.centreColor, sizeof r.edgeColor);
    for (uint32_t c = 0; c < 4; ++c)
        r.firstDelta[c] = r.secondDelta[c] = c == 3 ? -r.centreColor[3] : 0.0f;
    const uint32_t n = strip->history.pointSource == FulgorCore::StripDrawUnitBase::kHistory
                           ? strip->segmentCount
                           : strip->stripPointCount;
    if constexpr (N > 0) {
        void* words = FulgorCore::Engine::GetFrameWorkMemory().Allocate(
            n * Variant::kVerticesPerPoint * N * 4);
        if (!words) {
            strip->ownerUnit->Finish();
            return;
        }
        FulgorCore::Renderer::WriteStripTexCoords<N, Variant>(static_cast<uint16_t*>(words),
                                                              transforms, n);
        r.textureWords = static_cast<const uint32_t*>(words);
    }
}

template <uint32_t N, class Source, class Variant = FulgorCore::PlainLine>
FulgorCore::DrawUnitOps StripMembers() {
    FulgorCore::DrawUnitOps ops;
    ops.build = BuildStrip<N, Variant>;
    ops.submit = FulgorCore::StripDrawUnitBase::SubmitDraw<N, Source, Variant>;
    return ops;
}

} // namespace testsupport::geometry
