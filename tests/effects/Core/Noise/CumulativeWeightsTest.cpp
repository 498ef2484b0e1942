#include "effects/Core/Noise/CumulativeWeights.h"

#include <gtest/gtest.h>

namespace {

using FulgorCore::BuildCumulativeWeights;

// Five points; the weight is the fourth float.
const float kPoints[5][4] = {
    {0, 0, 0, 0.0005f}, {1, 0, 0, 0.0f}, {2, 0, 0, 2.0f}, {3, 0, 0, 3.0f}, {4, 0, 0, 5.0f}};
const float kValues[5][3] = {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {4, 4, 4}};

TEST(CumulativeWeightsTest, PlainSumsStartAtTheFirstHeavyPoint) {
    float sums[5] = {-1, -1, -1, -1, -1};
    const auto span = BuildCumulativeWeights(sums, &kPoints[0][0], 5, 0.5f);
    EXPECT_EQ(span.start, 2u);
    EXPECT_EQ(span.count, 5u);
    EXPECT_EQ(span.points, &kPoints[0][0]);
    EXPECT_EQ(sums[0], -1.0f);
    EXPECT_EQ(sums[1], -1.0f);
    EXPECT_EQ(sums[2], 0.0f);
    EXPECT_EQ(sums[3], 2.0f);
    EXPECT_EQ(sums[4], 5.0f);
    EXPECT_FLOAT_EQ(span.total, (5.0f - 5.0f * 0.5f) * 0.999f);
}

TEST(CumulativeWeightsTest, ParallelFormsSumFromZeroAndStartAtTheHeavyPoint) {
    float sums[5];
    const float* const one[1] = {&kValues[0][0]};
    const auto span = BuildCumulativeWeights<1>(sums, &kPoints[0][0], one, 5, 0.5f);
    EXPECT_EQ(span.points, &kPoints[2][0]);
    EXPECT_EQ(span.arrays[0], &kValues[2][0]);
    EXPECT_EQ(span.count, 3u);
    EXPECT_EQ(sums[0], 0.0f);
    EXPECT_FLOAT_EQ(sums[2], 0.0005f);
    EXPECT_FLOAT_EQ(sums[4], 5.0005f);
    EXPECT_FLOAT_EQ(span.total, (5.0005f - 2.5f) * 0.998f);
    const float* const two[2] = {&kValues[0][0], &kValues[1][0]};
    const auto both = BuildCumulativeWeights<2>(sums, &kPoints[0][0], two, 5, 0.0f);
    EXPECT_EQ(both.arrays[1], &kValues[3][0]);
    EXPECT_FLOAT_EQ(both.total, 5.0005f * 0.998f);
}

TEST(CumulativeWeightsTest, NoHeavyPointBeforeTheLastStartsAtZero) {
    const float light[3][4] = {{0, 0, 0, 0}, {0, 0, 0, 0.001f}, {0, 0, 0, 7}};
    float sums[3];
    const auto span = BuildCumulativeWeights(sums, &light[0][0], 3, 1.0f);
    EXPECT_EQ(span.start, 0u);
    EXPECT_FLOAT_EQ(sums[2], 0.001f);
}

TEST(CumulativeWeightsTest, NoPointsReadNothing) {
    float canary = 9.0f;
    const auto span = BuildCumulativeWeights(&canary, nullptr, 0, 1.0f);
    EXPECT_EQ(span.start, 0u);
    EXPECT_EQ(span.count, 0u);
    EXPECT_EQ(span.total, 0.0f);
    EXPECT_EQ(canary, 9.0f);
    const float* const one[1] = {nullptr};
    const auto with = BuildCumulativeWeights<1>(&canary, nullptr, one, 0, 1.0f);
    EXPECT_EQ(with.count, 0u);
    EXPECT_EQ(with.total, 0.0f);
    EXPECT_EQ(canary, 9.0f);
}

} // namespace
