#include "effects/Core/Noise/CurlNoise.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace {

using FulgorCore::CurlNoise;

TEST(CurlNoiseTest, TheFieldIsBuiltFromItsSeed) {
    const CurlNoise& field = CurlNoise::Field();
    std::set<uint32_t> entries;
    for (uint32_t i = 0; i < 128; ++i) {
        const float* g = field.Gradient(i);
        EXPECT_NEAR(g[0] * g[0] + g[1] * g[1] + g[2] * g[2], 1.0f, 1e-5f);
        const float* a = field.Axis(i);
        EXPECT_NEAR(a[0] * a[0] + a[1] * a[1] + a[2] * a[2], 1.0f, 1e-5f);
        entries.insert(field.Permutation(i));
        // (1 - k/2 + k u) * 2 pi with k = 0.2.
        EXPECT_GE(field.Speed(i), 0.9f * 6.2831855f - 1e-4f);
        EXPECT_LE(field.Speed(i), 1.1f * 6.2831855f + 1e-4f);
    }
    EXPECT_EQ(entries.size(), 128u);
    EXPECT_EQ(*entries.rbegin(), 127u);
    const CurlNoise same(CurlNoise::kFieldSeed, CurlNoise::kFieldSpread);
    EXPECT_EQ(same.Gradient(77)[1], field.Gradient(77)[1]);
    EXPECT_EQ(same.Permutation(5), field.Permutation(5));
    int moved = 0;
    for (uint32_t i = 0; i < 128; ++i)
        moved += field.Permutation(i) != i;
    EXPECT_GT(moved, 100);
}

TEST(CurlNoiseTest, FieldNoiseIsZeroAtLatticePoints) {
    const CurlNoise& field = CurlNoise::Field();
    EXPECT_EQ(field.Noise3(3.0f, -4.0f, 5.0f), 0.0f);
    EXPECT_EQ(field.Noise3(-130.0f, 0.0f, 2.0e9f), 0.0f);
    EXPECT_NE(field.Noise3(0.25f, 0.5f, 0.75f), 0.0f);
    // The lattice repeats every 128 cells.
    EXPECT_EQ(field.Noise3(0.25f, 0.5f, 0.75f), field.Noise3(128.25f, -127.5f, 256.75f));
}

TEST(CurlNoiseTest, ObstacleNormalPointsAwayFromItsCentre) {
    const float p[3] = {0.0f, 3.0f, 0.0f};
    float n[3];
    CurlNoise::ObstacleNormal(n, p);
    EXPECT_NEAR(n[1], 1.0f, 0.01f);
    EXPECT_NEAR(n[0], 0.0f, 0.01f);
    const float q[3] = {2.0f, 1.0f, 0.0f};
    CurlNoise::ObstacleNormal(n, q);
    EXPECT_NEAR(n[0], 1.0f, 0.01f);
    EXPECT_NEAR(CurlNoise::ObstacleDistance(q), 1.0f, 0.0001f);
}

TEST(CurlNoiseTest, CurlIsNearlyDivergenceFree) {
    const CurlNoise& field = CurlNoise::Field();
    const float h = 0.01f;
    double divergence = 0.0, partials = 0.0;
    for (int i = 0; i < 40; ++i) {
        const float p[3] = {1.7f + 0.13f * i, -0.8f + 0.07f * i, 2.3f - 0.11f * i};
        for (int axis = 0; axis < 3; ++axis) {
            float a[3] = {p[0], p[1], p[2]}, b[3] = {p[0], p[1], p[2]};
            a[axis] += h;
            b[axis] -= h;
            float ca[3], cb[3];
            field.EvaluateCurl(ca, a);
            field.EvaluateCurl(cb, b);
            const double d = (ca[axis] - cb[axis]) / (2.0 * h);
            divergence += d;
            partials += std::fabs(d);
        }
    }
    EXPECT_GT(partials, 1.0);
    EXPECT_LT(std::fabs(divergence), 0.05 * partials);
}

TEST(CurlNoiseTest, AnimatedFieldFollowsItsPhase) {
    CurlNoise field(CurlNoise::kFieldSeed, CurlNoise::kFieldSpread);
    field.SetPhase(0.0f);
    // Inside sphere A (orbit 0.3 at angle 0: centre (0, 0, 0.3), radius 0.3).
    const float centreA[3] = {0.0f, 0.0f, 0.3f};
    EXPECT_NEAR(field.AnimatedDistance(centreA), -0.3f, 0.001f);
    field.SetPhase(1.5707964f);
    EXPECT_GT(field.AnimatedDistance(centreA), 0.0f);
    // Past pi the phase goes back one turn, to the same place.
    field.SetPhase(4.0f);
    const float d1 = field.AnimatedDistance(centreA);
    field.SetPhase(4.0f - 6.2831855f);
    EXPECT_NEAR(field.AnimatedDistance(centreA), d1, 1e-5f);
    float g[3], psi[3], curl[3];
    const float p[3] = {0.5f, 0.2f, -0.4f};
    field.AnimatedGradient(g, p);
    EXPECT_NEAR(g[0] * g[0] + g[1] * g[1] + g[2] * g[2], 1.0f, 0.01f);
    field.AnimatedPotential(psi, p);
    EXPECT_TRUE(std::isfinite(psi[0]) && std::isfinite(psi[1]) && std::isfinite(psi[2]));
    // Far from the spheres (|d| of 1 or more) the ramp is 1 and the
    // potential is 0.04 (3z, 0, -3x).
    const float far[3] = {2.0f, 0.5f, 3.0f};
    ASSERT_GT(field.AnimatedDistance(far), 1.0f);
    field.AnimatedPotential(psi, far);
    EXPECT_NEAR(psi[0], 0.04f * 9.0f, 1e-6f);
    EXPECT_EQ(psi[1], 0.0f);
    EXPECT_NEAR(psi[2], 0.04f * -6.0f, 1e-6f);
    // On the Y axis v = (3z, 0, -3x) is zero, so is the potential.
    const float onAxis[3] = {0.0f, 0.2f, 0.0f};
    field.AnimatedPotential(psi, onAxis);
    EXPECT_EQ(psi[0], 0.0f);
    EXPECT_EQ(psi[1], 0.0f);
    EXPECT_EQ(psi[2], 0.0f);
    field.AnimatedCurl(curl, p);
    EXPECT_TRUE(std::isfinite(curl[0]) && std::isfinite(curl[1]) && std::isfinite(curl[2]));
}

} // namespace
