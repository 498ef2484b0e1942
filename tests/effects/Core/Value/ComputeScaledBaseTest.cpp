#include "effects/Core/Value/ComputeScaledBase.h"

#include <gtest/gtest.h>

namespace {

using FulgorCore::ComputeScaledBase;
using FulgorCore::ScaledBaseInput;

TEST(ComputeScaledBaseTest, TheFiveModes) {
    const float scale[3] = {1.5f, 3.0f, 2.0f};
    const float camera[3] = {0.0f, 0.0f, 0.0f};
    // Squared distance 16: the bit-level root of 16 is exactly 4.
    const float owner[3] = {0.0f, 0.0f, 4.0f};
    ScaledBaseInput in;
    in.instanceParameter = 2.0f;
    in.dataValue = 0.5f;
    in.ownerScale = scale;
    in.distanceFactor = 0.5f;
    in.cameraPosition = camera;
    in.ownerTranslation = owner;
    EXPECT_FLOAT_EQ(ComputeScaledBase(0, in), 2.0f);
    EXPECT_FLOAT_EQ(ComputeScaledBase(1, in), 2.5f);
    EXPECT_FLOAT_EQ(ComputeScaledBase(2, in), 2.5f * 3.0f);
    EXPECT_FLOAT_EQ(ComputeScaledBase(3, in), 2.5f * 2.0f);
    EXPECT_FLOAT_EQ(ComputeScaledBase(4, in), 2.5f * 3.0f * 2.0f);
    // Near the camera the distance term is held at 1.
    in.distanceFactor = 0.1f;
    EXPECT_FLOAT_EQ(ComputeScaledBase(3, in), 2.5f);
}

TEST(ComputeScaledBaseTest, TheDistanceIsTheBitLevelRoot) {
    const float scale[3] = {1, 1, 1};
    const float camera[3] = {1.0f, 1.0f, 1.0f};
    // Squared distance 3: the bit-level root gives 1.75, not 1.732.
    const float owner[3] = {2.0f, 2.0f, 2.0f};
    ScaledBaseInput in{1.0f, 0.0f, scale, 2.0f, camera, owner};
    EXPECT_FLOAT_EQ(ComputeScaledBase(3, in), 3.5f);
}

TEST(ComputeScaledBaseTest, ModesPastFourAreModeZeroAndTheFirstTwoReadNoPointer) {
    ScaledBaseInput in;
    in.instanceParameter = 7.0f;
    in.dataValue = 1.0f;
    EXPECT_FLOAT_EQ(ComputeScaledBase(5, in), 7.0f);
    EXPECT_FLOAT_EQ(ComputeScaledBase(0xFFFFFFFFu, in), 7.0f);
    EXPECT_FLOAT_EQ(ComputeScaledBase(1, in), 8.0f);
}

} // namespace
