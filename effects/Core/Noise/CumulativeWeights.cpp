#include "effects/Core/Noise/CumulativeWeights.h"

namespace FulgorCore {

namespace {

float Weight(const float* points, uint32_t i) {
    return points[i * 4 + 3];
}

uint32_t FirstHeavy(const float* points, uint32_t n) {
    for (uint32_t i = 0; i + 1 < n; ++i)
        if (Weight(points, i) > 0.001f)
            return i;
    return 0;
}

// Entry from is 0, every later entry adds the weight of the point before it;
// returns the last sum.
float RunningSums(float* sums, const float* points, uint32_t from, uint32_t n) {
    float sum = 0.0f;
    sums[from] = 0.0f;
    for (uint32_t i = from + 1; i < n; ++i) {
        sum += Weight(points, i - 1);
        sums[i] = sum;
    }
    return sum;
}

} // namespace

WeightedSpan BuildCumulativeWeights(float* sums, const float* points, uint32_t n, float f) {
    if (n == 0)
        return {0, points, 0, 0.0f};
    const uint32_t k = FirstHeavy(points, n);
    const float last = RunningSums(sums, points, k, n);
    return {n, points, k, (last - Weight(points, n - 1) * f) * 0.999f};
}

template <int Arrays>
WeightedSpanWith<Arrays> BuildCumulativeWeights(float* sums, const float* points,
                                                const float* const (&arrays)[Arrays], uint32_t n,
                                                float f) {
    WeightedSpanWith<Arrays> span{};
    if (n == 0) {
        span.points = points;
        for (int a = 0; a < Arrays; ++a)
            span.arrays[a] = arrays[a];
        return span;
    }
    const uint32_t k = FirstHeavy(points, n);
    const float last = RunningSums(sums, points, 0, n);
    span.points = points + k * 4;
    for (int a = 0; a < Arrays; ++a)
        span.arrays[a] = arrays[a] + k * 3;
    span.count = n - k;
    span.total = (last - Weight(points, n - 1) * f) * 0.998f;
    return span;
}

template WeightedSpanWith<1> BuildCumulativeWeights<1>(float*, const float*,
                                                       const float* const (&)[1], uint32_t, float);
template WeightedSpanWith<2> BuildCumulativeWeights<2>(float*, const float*,
                                                       const float* const (&)[2], uint32_t, float);

} // namespace FulgorCore
