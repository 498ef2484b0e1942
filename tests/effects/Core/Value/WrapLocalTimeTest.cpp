#include "effects/Core/Value/WrapLocalTime.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using FulgorCore::WrapLocalTime;

TEST(WrapLocalTimeTest, BeforeTheLoopEndNothingChanges) {
    EXPECT_EQ(WrapLocalTime(9.5f, 2.0f, 10.0f), 9.5f);
    EXPECT_EQ(WrapLocalTime(-4.0f, 2.0f, 10.0f), -4.0f);
}

TEST(WrapLocalTimeTest, WholeFrameLoopsGoBackByWholeLengths) {
    // trunc(13 - 2) div trunc(8) = 1 loop of 8.
    EXPECT_FLOAT_EQ(WrapLocalTime(13.0f, 2.0f, 10.0f), 5.0f);
    EXPECT_FLOAT_EQ(WrapLocalTime(10.0f, 2.0f, 10.0f), 2.0f);
    // trunc(27.5 - 2) div 8 = 3 loops.
    EXPECT_FLOAT_EQ(WrapLocalTime(27.5f, 2.0f, 10.0f), 3.5f);
    // The integer formula with a fractional length: trunc(5.5) = 5, so
    // trunc(12 - 1) div 5 = 2 loops of 5.5.
    EXPECT_FLOAT_EQ(WrapLocalTime(12.0f, 1.0f, 6.5f), 1.0f);
}

TEST(WrapLocalTimeTest, LoopsShorterThanAFrameWrapByTheFloatRemainder) {
    EXPECT_FLOAT_EQ(WrapLocalTime(3.3f, 3.0f, 3.25f), 3.05f);
    EXPECT_FLOAT_EQ(WrapLocalTime(5.0f, 3.0f, 3.5f), 3.0f);
    EXPECT_FLOAT_EQ(WrapLocalTime(5.1f, 3.0f, 3.5f), 3.1f);
}

TEST(WrapLocalTimeTest, LoopsOfNoLengthDoNotWrap) {
    EXPECT_EQ(WrapLocalTime(7.0f, 5.0f, 5.0f), 7.0f);
    EXPECT_EQ(WrapLocalTime(7.0f, 6.0f, 5.0f), 7.0f);
    EXPECT_EQ(WrapLocalTime(1e30f, 1.0f, 2.0f) <= 1e30f, true);
    EXPECT_TRUE(std::isnan(WrapLocalTime(NAN, 1.0f, 2.0f)));
}

} // namespace
