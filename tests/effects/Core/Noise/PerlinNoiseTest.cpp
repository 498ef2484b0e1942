#include "effects/Core/Noise/PerlinNoise.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <set>

namespace {

using FulgorCore::PerlinNoise;

TEST(PerlinNoiseTest, OneSeedOnePermutationRepeatedOnce) {
    PerlinNoise a, b;
    a.Initialize(12345);
    b.Initialize(12345);
    EXPECT_EQ(std::memcmp(a.Table(), b.Table(), 512), 0);
    const std::set<uint8_t> values(a.Table(), a.Table() + 256);
    EXPECT_EQ(values.size(), 256u);
    EXPECT_EQ(std::memcmp(a.Table(), a.Table() + 256, 256), 0);
    PerlinNoise c;
    c.Initialize(12346);
    EXPECT_NE(std::memcmp(a.Table(), c.Table(), 256), 0);
    // Construction uses seed 0x7F7F7F7F.
    PerlinNoise constructed, seeded;
    seeded.Initialize(0x7F7F7F7F);
    EXPECT_EQ(std::memcmp(constructed.Table(), seeded.Table(), 512), 0);
    // 1024 swaps shuffle well: few entries stay in place.
    int fixed = 0;
    for (int i = 0; i < 256; ++i)
        fixed += a.Table()[i] == i;
    EXPECT_LT(fixed, 16);
}

TEST(PerlinNoiseTest, ZeroAtLatticePoints) {
    PerlinNoise n;
    for (int x = -3; x <= 3; ++x)
        for (int y = -2; y <= 2; ++y)
            EXPECT_EQ(n.Noise3(float(x), float(y), 7.0f), 0.0f);
    EXPECT_EQ(n.Noise1(300.0f), 0.0f);
    float sum = 0.0f;
    for (int i = 0; i < 100; ++i)
        sum += std::fabs(n.Noise3(i * 0.37f + 0.1f, i * 0.11f + 0.2f, 0.3f));
    EXPECT_GT(sum, 1.0f);
}

TEST(PerlinNoiseTest, CellsUseTheExactFloorAndRepeatEvery256) {
    PerlinNoise n;
    // With a truncating floor -0.5 would land in cell 0 with a negative
    // fraction instead of cell 255 with +0.5.
    EXPECT_EQ(n.Noise3(-0.5f, 0.25f, 0.75f), n.Noise3(255.5f, 0.25f, 0.75f));
    EXPECT_EQ(n.Noise3(0.3f, -1.75f, 2.5f), n.Noise3(0.3f, 254.25f, 2.5f));
    EXPECT_EQ(n.Noise1(0.6f), n.Noise3(0.6f, 0.0f, 0.0f));
    EXPECT_EQ(n.Noise2(0.6f, 1.2f), n.Noise3(0.6f, 1.2f, 0.0f));
    // Continuous.
    EXPECT_NEAR(n.Noise3(1.4f, 2.2f, 3.7f), n.Noise3(1.4001f, 2.2f, 3.7f), 0.001f);
    // NaN and huge coordinates are no undefined conversion.
    (void)n.Noise3(std::numeric_limits<float>::quiet_NaN(), 1e30f, -1e30f);
}

TEST(PerlinNoiseTest, OctavesDoubleThePointAndHalveTheAmplitude) {
    PerlinNoise n;
    EXPECT_EQ(n.Fractal3(0.3f, 0.4f, 0.5f, 0), 0.0f);
    EXPECT_EQ(n.Fractal3(0.3f, 0.4f, 0.5f, -2), 0.0f);
    EXPECT_EQ(n.Fractal3(0.3f, 0.4f, 0.5f, 1), n.Noise3(0.3f, 0.4f, 0.5f));
    EXPECT_FLOAT_EQ(n.Fractal3(0.3f, 0.4f, 0.5f, 2),
                    n.Noise3(0.3f, 0.4f, 0.5f) + 0.5f * n.Noise3(0.6f, 0.8f, 1.0f));
    EXPECT_FLOAT_EQ(n.Fractal2(0.3f, 0.4f, 2), n.Noise2(0.3f, 0.4f) + 0.5f * n.Noise2(0.6f, 0.8f));
    EXPECT_FLOAT_EQ(n.Fractal1(0.3f, 2), n.Noise1(0.3f) + 0.5f * n.Noise1(0.6f));
}

} // namespace
