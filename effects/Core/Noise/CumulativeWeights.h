#pragma once

#include <cstdint>

namespace FulgorCore {

// Running sums over a weighted point list, for picking a place along it.
// Points are four floats; the fourth is the weight of the span that starts
// at the point. Leading spans of weight 0.001 or less are skipped: k is the
// first index below n - 1 heavier than that (0 when there is none).

// Sums start at point k: entry k is 0 and entry i (i > k) the sum of the
// weights of points k..i-1.
struct WeightedSpan {
    uint32_t count; // n
    const float* points;
    uint32_t start; // k
    float total;    // (last sum - last weight * f) * 0.999
};

// Sums start at point 0 (light leading points included); the result starts
// at point k and at entry k of each per-point array (three floats a point).
template <int Arrays> struct WeightedSpanWith {
    const float* points;
    const float* arrays[Arrays];
    uint32_t count; // n - k
    float total;    // (last sum - last weight * f) * 0.998
};

// With no points nothing is read or written: k 0 and total 0.
WeightedSpan BuildCumulativeWeights(float* sums, const float* points, uint32_t n, float f);

template <int Arrays>
WeightedSpanWith<Arrays> BuildCumulativeWeights(float* sums, const float* points,
                                                const float* const (&arrays)[Arrays], uint32_t n,
                                                float f);

extern template WeightedSpanWith<1>
BuildCumulativeWeights<1>(float*, const float*, const float* const (&)[1], uint32_t, float);
extern template WeightedSpanWith<2>
BuildCumulativeWeights<2>(float*, const float*, const float* const (&)[2], uint32_t, float);

} // namespace FulgorCore
