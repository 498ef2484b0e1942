#include "effects/render/DrawSortEntry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(DrawSortEntryTest, KeyPacksOrderDepthAndIndex) {
    FulgorCore::DrawSortEntry e{};
    e.SetKey(5, 2.5f, 0x12345);
    EXPECT_EQ(e.key >> 48, 65530u);
    EXPECT_EQ((e.key >> 16) & 0xFFFFFFFFu, 3002500u);
    EXPECT_EQ(e.key & 0xFFFFu, 0x2345u);
    // A lower draw order sorts later; a nearer depth sorts first.
    FulgorCore::DrawSortEntry later{}, nearer{};
    later.SetKey(4, 2.5f, 0);
    nearer.SetKey(5, 1.0f, 0);
    EXPECT_GT(later.key, e.key);
    EXPECT_LT(nearer.key, e.key);
}

TEST(DrawSortEntryTest, DepthBeyondThirtyTwoBitsKeepsTheLowWord) {
    FulgorCore::DrawSortEntry e{};
    // (1e7 + 3000) * 1000 = 10003000000 as a float, past 32 bits.
    const float depth = 1.0e7f;
    const int64_t whole = static_cast<int64_t>((depth + 3000.0f) * 1000.0f);
    e.SetKey(0, depth, 0);
    EXPECT_EQ((e.key >> 16) & 0xFFFFFFFFu, static_cast<uint64_t>(whole) & 0xFFFFFFFFu);
    // Negative depths wrap as two's complement.
    e.SetKey(0, -3001.0f, 0);
    EXPECT_EQ((e.key >> 16) & 0xFFFFFFFFu, 0xFFFFFC18u);
}

TEST(DrawSortEntryTest, NanAndHugeDepthsGiveTheIndefiniteValue) {
    FulgorCore::DrawSortEntry e{};
    e.SetKey(0, std::numeric_limits<float>::quiet_NaN(), 7);
    EXPECT_EQ((e.key >> 16) & 0xFFFFFFFFu, 0u);
    e.SetKey(0, 1.0e30f, 7);
    EXPECT_EQ((e.key >> 16) & 0xFFFFFFFFu, 0u);
    EXPECT_EQ(e.key & 0xFFFFu, 7u);
}

} // namespace
