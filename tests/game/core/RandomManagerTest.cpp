#include "game/core/RandomManager.h"

#include <gtest/gtest.h>

TEST(RandomManager, EveryStreamStartsFromTheSeedZeroWords) {
    RandomManager r;
    const uint32_t expected[] = {0x4807714Du, 0x181B859Bu, 0x3F2C551Au, 0x4CDA87EBu};
    for (uint32_t s = 0; s < RandomManager::kStreamCount; ++s) {
        EXPECT_EQ(r.Stream(s).x, 1u);
        EXPECT_EQ(r.Stream(s).y, 1812433255u);
        EXPECT_EQ(r.Stream(s).z, 1900727105u);
        EXPECT_EQ(r.Stream(s).w, 1208447044u);
        for (uint32_t v : expected)
            EXPECT_EQ(r.Next(s), v);
    }
}

TEST(RandomManager, FixedSeedResetsOnlyThePlayStream) {
    RandomManager r;
    r.Seed();
    const uint32_t before0 = r.Stream(0).w, before2 = r.Stream(2).w;
    r.SeedFixed();
    const uint32_t expected[] = {0xCB71C04Cu, 0x3C5F6A2Au, 0xED8ED2FDu, 0x59AC76F0u};
    for (uint32_t v : expected)
        EXPECT_EQ(r.Next(RandomManager::kPlay), v);
    EXPECT_EQ(r.Stream(0).w, before0);
    EXPECT_EQ(r.Stream(2).w, before2);

    // Draws on the other streams do not disturb a replayed play stream.
    r.SeedFixed();
    for (int i = 0; i < 10; ++i) {
        r.Next(0);
        r.Next(2);
    }
    for (uint32_t v : expected)
        EXPECT_EQ(r.Next(RandomManager::kPlay), v);
}

TEST(RandomManager, RangesStayInsideAndStillAdvance) {
    RandomManager r;
    const uint32_t w0 = r.Stream(1).w;
    EXPECT_EQ(r.RangeInt(1, 5, 5), 5);
    EXPECT_NE(r.Stream(1).w, w0);
    for (int i = 0; i < 2000; ++i) {
        const int32_t v = r.RangeInt(0, -3, 4);
        EXPECT_GE(v, -3);
        EXPECT_LE(v, 4);
        const float f = r.RangeFloat(0, -2.0f, 3.0f);
        EXPECT_GE(f, -2.0f);
        EXPECT_LT(f, 3.0f);
    }
}

TEST(RandomManager, RangeFloatCanRoundUpToHi) {
    RandomManager r;
    Mireku::Common::Random& play = r.Stream(RandomManager::kPlay);
    // x 0 and w 0x7FFFF0 make the next word 0x7FFFFF: all 23 low bits set.
    play.x = play.y = play.z = 0;
    play.w = 0x7FFFF0;
    EXPECT_EQ(r.RangeFloat(RandomManager::kPlay, 100.0f, 101.0f), 101.0f);
}
