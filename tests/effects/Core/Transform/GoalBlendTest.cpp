#include "effects/Core/Transform/GoalBlend.h"

#include <gtest/gtest.h>

namespace {

using FulgorCore::GoalBlend;
using FulgorCore::GoalBlendParameters;
using FulgorCore::GoalBlendParticle;

const float kIdentityMove[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 10, 0, 0};

float Blended(uint32_t mode, uint32_t space, float time, float fraction = 1.0f) {
    GoalBlendParticle p{time, {-7, -7, -7}, {2, 0, 0}};
    const float goal[3] = {6, 4, 0};
    const GoalBlendParameters params{10.0f, 20.0f, fraction};
    GoalBlend::Select(mode, space)(p, goal, params, kIdentityMove);
    return p.value[0];
}

TEST(GoalBlendTest, NothingHappensUpToTheStartTime) {
    for (uint32_t mode = 1; mode <= 4; ++mode) {
        EXPECT_EQ(Blended(mode, 1, 5.0f), -7.0f);
        EXPECT_EQ(Blended(mode, 1, 10.0f), -7.0f);
    }
}

TEST(GoalBlendTest, ShapesOfTheFourModes) {
    // start 2, goal 6: B = 6 with fraction 1; t = (time - 10) / 20.
    EXPECT_FLOAT_EQ(Blended(1, 1, 15.0f), 2.0f + 4.0f * 0.25f);
    EXPECT_FLOAT_EQ(Blended(2, 1, 15.0f), 2.0f + 4.0f * 0.0625f);
    EXPECT_FLOAT_EQ(Blended(3, 1, 15.0f), 2.0f + 4.0f * (1.0f - 0.5625f));
    // In-out: M exactly at t = 0.5, quadratic halves on either side.
    EXPECT_EQ(Blended(4, 1, 20.0f), 4.0f);
    EXPECT_FLOAT_EQ(Blended(4, 1, 15.0f), 2.0f + 2.0f * 0.25f);
    EXPECT_FLOAT_EQ(Blended(4, 1, 25.0f), 4.0f + 2.0f * 0.75f);
}

TEST(GoalBlendTest, FromTheEndEveryModeGivesTheBlendTarget) {
    for (uint32_t mode = 1; mode <= 4; ++mode) {
        EXPECT_EQ(Blended(mode, 1, 30.0f), 6.0f) << mode;
        EXPECT_EQ(Blended(mode, 1, 99.0f), 6.0f) << mode;
        EXPECT_EQ(Blended(mode, 1, 99.0f, 0.5f), 4.0f) << mode;
        EXPECT_EQ(Blended(mode, 1, 15.0f, 0.0f), 2.0f) << mode;
    }
}

TEST(GoalBlendTest, SpaceZeroTakesTheGoalThroughTheTransform) {
    EXPECT_EQ(Blended(1, 0, 30.0f), 16.0f);
    GoalBlendParticle p{30.0f, {}, {2, 0, 0}};
    const float goal[3] = {6, 4, 0};
    GoalBlend::Select(1, 0)(p, goal, GoalBlendParameters{10, 20, 1}, kIdentityMove);
    EXPECT_EQ(p.value[1], 4.0f);
}

TEST(GoalBlendTest, ModesZeroAndFiveToSevenDoNothing) {
    for (uint32_t mode : {0u, 5u, 6u, 7u})
        for (uint32_t space = 0; space < 2; ++space)
            EXPECT_EQ(Blended(mode, space, 30.0f), -7.0f) << mode;
}

} // namespace
