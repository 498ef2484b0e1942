#include "effects/Core/Transform/TexCoordTransform.h"
#include "effects/Core/Transform/TexCoordCorners.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using FulgorCore::TexCoordCorners;
using FulgorCore::TexCoordTransform;

// lead, scale u, scale v, offset u, offset v, angle
TEST(TexCoordTransformTest, UnitParametersGiveTheIdentityInEveryMode) {
    const float p[6] = {9, 1, 1, 0, 0, 0};
    const float identity[8] = {1, 0, 0, 0, 0, 1, 0, 0};
    for (uint32_t mode = 0; mode < 4; ++mode) {
        float m[8];
        TexCoordTransform::Build(mode, m, p);
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(m[i], identity[i]) << mode << " " << i;
    }
    const float corners[8] = {0, 0, 1, 0, 0, 1, 1, 1};
    for (uint32_t mode : {1u, 3u}) {
        float c[8];
        TexCoordCorners::Build(mode, c, p);
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(c[i], corners[i]) << mode << " " << i;
    }
}

TEST(TexCoordTransformTest, TranslationsOfTheFourModes) {
    const float p[6] = {0, 2, 3, 0.25f, 0.125f, 0};
    const float translations[4][2] = {
        {0.25f, 0.125f}, {-0.25f, -0.875f}, {0.5f, 0.375f}, {0.0f, -0.625f}};
    for (uint32_t mode = 0; mode < 4; ++mode) {
        float m[8];
        TexCoordTransform::Build(mode, m, p);
        EXPECT_EQ(m[0], 2.0f);
        EXPECT_EQ(m[5], 3.0f);
        EXPECT_EQ(m[1], 0.0f);
        EXPECT_EQ(m[2], 0.0f);
        EXPECT_EQ(m[6], 0.0f);
        EXPECT_EQ(m[3], translations[mode][0]) << mode;
        EXPECT_EQ(m[7], translations[mode][1]) << mode;
    }
    float origin[8], full[8];
    TexCoordTransform::kOriginModes[1](origin, p);
    TexCoordTransform::Build(2, full, p);
    EXPECT_EQ(origin[3], full[3]);
    EXPECT_EQ(origin[7], full[7]);
}

TEST(TexCoordTransformTest, NegativeZeroTakesTheRotationFreePath) {
    // A rotating builder would write sin(-0) * scale = -0.0 into the v row.
    const float p[6] = {0, 2, 3, 0, 0, -0.0f};
    float m[8];
    TexCoordTransform::Build(0, m, p);
    EXPECT_FALSE(std::signbit(m[4]));
    EXPECT_FALSE(std::signbit(m[1]));
}

TEST(TexCoordTransformTest, OffsetAfterScalesThenRotatesOffsetBeforeRotatesThenScales) {
    const float p[6] = {0, 2, 3, 0, 0, 1.5707964f};
    float m[8];
    // R.S: u' = -3v, v' = 2u.
    TexCoordTransform::Build(0, m, p);
    EXPECT_NEAR(m[0], 0.0f, 1e-6f);
    EXPECT_NEAR(m[1], -3.0f, 1e-6f);
    EXPECT_NEAR(m[4], 2.0f, 1e-6f);
    EXPECT_NEAR(m[5], 0.0f, 1e-6f);
    // S.R: u' = -2v, v' = 3u.
    TexCoordTransform::Build(2, m, p);
    EXPECT_NEAR(m[1], -2.0f, 1e-6f);
    EXPECT_NEAR(m[4], 3.0f, 1e-6f);
    // About the centre the centre stays put.
    const float q[6] = {0, 2, 3, 0, 0, 0.7f};
    for (uint32_t mode : {1u, 3u}) {
        TexCoordTransform::Build(mode, m, q);
        EXPECT_NEAR(m[0] * 0.5f + m[1] * 0.5f + m[3], 0.5f, 1e-6f) << mode;
        EXPECT_NEAR(m[4] * 0.5f + m[5] * 0.5f + m[7], 0.5f, 1e-6f) << mode;
    }
}

TEST(TexCoordTransformTest, CornersOfModesZeroAndTwoAllSitAtTheOffset) {
    const float p[6] = {0, 2, 3, 0.25f, 0.5f, 0.3f};
    for (uint32_t mode : {0u, 2u}) {
        float c[8];
        TexCoordCorners::Build(mode, c, p);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(c[i * 2], 0.25f);
            EXPECT_EQ(c[i * 2 + 1], 0.5f);
        }
    }
    float c[8], m[8];
    TexCoordCorners::Build(3, c, p);
    TexCoordTransform::Build(3, m, p);
    EXPECT_FLOAT_EQ(c[6], m[0] + m[1] + m[3]);
    EXPECT_FLOAT_EQ(c[7], m[4] + m[5] + m[7]);
}

} // namespace
