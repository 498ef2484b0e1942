#include "effects/Core/Noise/HalfFloat.h"
#include "effects/Core/Noise/HashRandom.h"
#include "effects/Core/Noise/RandomDirection.h"
#include "effects/Core/Noise/Xorshift128.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using FulgorCore::Xorshift128;
using namespace FulgorCore::Math;

TEST(RandomTest, XorshiftStepsFromTheClassicState) {
    Xorshift128 r;
    EXPECT_EQ(r.Next(), 3701687786u);
    EXPECT_EQ(r.Next(), 458299110u);
    EXPECT_EQ(r.Next(), 2500872618u);
}

TEST(RandomTest, SeedingFollowsTheMultiplierChain) {
    Xorshift128 r;
    r.Seed(1);
    // m1 = 1812433253 * (1 ^ 0) + 1.
    EXPECT_EQ(r.x, 1812433254u);
    const uint32_t m2 = 1812433253u * (r.x ^ (r.x >> 30)) + 2;
    EXPECT_EQ(r.y, m2);
    Xorshift128 again;
    again.Seed(1);
    EXPECT_EQ(again.w, r.w);
    for (int i = 0; i < 1000; ++i) {
        const float f = r.NextFloat01();
        ASSERT_GE(f, 0.0f);
        ASSERT_LT(f, 1.0f);
    }
}

TEST(RandomTest, HashedNumbersAreAPureFunctionOfTheCounter) {
    EXPECT_EQ(HashUint(0), 155489619u);
    EXPECT_EQ(HashUint(1), 548517411u);
    EXPECT_EQ(HashUint(171717), 590218623u);
    EXPECT_FLOAT_EQ(HashFloat01(0), 155489619.0f * 2.3283064e-10f);
    uint32_t counter = 10;
    float v[3];
    RandomUnitVectorHashed(v, counter);
    EXPECT_NEAR(v[0] * v[0] + v[1] * v[1] + v[2] * v[2], 1.0f, 1e-6f);
    EXPECT_EQ((counter - 10) % 3, 0u);
    EXPECT_GT(counter, 10u);
    uint32_t again = 10;
    float w[3];
    RandomUnitVectorHashed(w, again);
    EXPECT_EQ(again, counter);
    EXPECT_EQ(v[2], w[2]);
}

TEST(RandomTest, HalfFloatsPackTruncated) {
    EXPECT_EQ(FloatToHalf(1.0f), 0x3C00u);
    EXPECT_EQ(FloatToHalf(-2.0f), 0xC000u);
    EXPECT_EQ(FloatToHalf(65504.0f), 0x7BFFu);
    // Truncated, not rounded: 1 + 2047/2048 keeps the top ten mantissa bits.
    EXPECT_EQ(FloatToHalf(1.99951171875f), 0x3FFFu);
    // The exponent clamps at 31.
    EXPECT_EQ(FloatToHalf(1.0e6f) & 0x7C00u, 0x7C00u);
    EXPECT_EQ(FloatToHalf(0.0f), 0u);
    EXPECT_EQ(FloatToHalf(std::ldexp(1.0f, -14)), 0x0400u);
    EXPECT_EQ(FloatToHalf(std::ldexp(1.0f, -15)), 0u);
    EXPECT_EQ(FloatToHalf(-1.0e-30f), 0u);
    EXPECT_EQ(HalfToFloat(0), 0.0f);
    EXPECT_EQ(HalfToFloat(0x3C00), 1.0f);
    EXPECT_EQ(HalfToFloat(0xB600), -0.375f);
    EXPECT_EQ(HalfToFloat(0x0001), std::ldexp(1.0f + 1.0f / 1024.0f, -15));
    EXPECT_EQ(HalfToFloat(FloatToHalf(1.5f)), 1.5f);
}

TEST(RandomTest, DirectionsAreUnitAndTakeTwoDraws) {
    Xorshift128 r, shadow;
    for (int i = 0; i < 100; ++i) {
        float d[3];
        RandomDirectionSphere(d, r);
        shadow.Next();
        shadow.Next();
        ASSERT_NEAR(d[0] * d[0] + d[1] * d[1] + d[2] * d[2], 1.0f, 1e-5f);
        ASSERT_EQ(r.w, shadow.w);
    }
    float d[3];
    RandomDirectionInConeX(d, 0.0f, 0.0f, r);
    EXPECT_EQ(d[0], 1.0f);
    EXPECT_NEAR(d[1], 0.0f, 1e-3f);
    RandomDirectionInConeZ(d, 0.0f, 0.0f, r);
    EXPECT_EQ(d[2], 1.0f);
    // A band at 90 degrees from Y stays in the XZ plane.
    RandomDirectionInConeY(d, 1.5707964f, 1.5707964f, r);
    EXPECT_NEAR(d[1], 0.0f, 1e-6f);
    EXPECT_NEAR(d[0] * d[0] + d[2] * d[2], 1.0f, 1e-5f);
    // Within the cone between 0.2 and 0.4 radians of X.
    for (int i = 0; i < 100; ++i) {
        RandomDirectionInConeX(d, 0.2f, 0.4f, r);
        ASSERT_LE(d[0], std::cos(0.2f) + 1e-6f);
        ASSERT_GE(d[0], std::cos(0.4f) - 1e-6f);
    }
}

} // namespace
