#include "effects/Core/Math/Matrix.h"
#include "effects/Core/Math/BoundingSphere.h"
#include "effects/Core/Math/EmittedFrame.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

using namespace FulgorCore::Math;

constexpr float kHalfPi = 1.5707964f;

void ExpectMatrixNear(const float* actual, const float* expected, int n, float tolerance) {
    for (int i = 0; i < n; ++i)
        EXPECT_NEAR(actual[i], expected[i], tolerance) << "element " << i;
}

TEST(MatrixTest, ProductsApplyTheLeftMatrixFirst) {
    // Scale x by 2, then move by (1, 0, 0): the point (1, 0, 0) lands on 3.
    const float scale[12] = {2, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
    const float move[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 1, 0, 0};
    float both[12];
    Matrix34Multiply(both, scale, move);
    const float p[3] = {1, 0, 0};
    float q[3];
    TransformPoint34(q, p, both);
    EXPECT_EQ(q[0], 3.0f);
    Matrix34Multiply(both, move, scale);
    TransformPoint34(q, p, both);
    EXPECT_EQ(q[0], 4.0f);
    float a[16], b[16], c[16];
    for (int i = 0; i < 16; ++i) {
        a[i] = static_cast<float>(i + 1);
        b[i] = static_cast<float>((i * 7) % 5);
    }
    Matrix44Multiply(c, a, b);
    // Row 1 of a times column 2 of b.
    EXPECT_EQ(c[6], 5 * b[2] + 6 * b[6] + 7 * b[10] + 8 * b[14]);
}

TEST(MatrixTest, DeterminantAtTheSmallestNormalIsSingular) {
    const float m[12] = {1.1754944e-38f, 0, 0, 0, 1, 0, 0, 0, 1, 5, -6, 7};
    float out[12];
    EXPECT_FALSE(Matrix34Inverse(out, m));
    const float expected[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, -5, 6, -7};
    ExpectMatrixNear(out, expected, 12, 0.0f);
    const float negative[12] = {-1.1754944e-38f, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
    EXPECT_FALSE(Matrix34Inverse(out, negative));
    // Just above the window it inverts.
    const float small[12] = {2.4e-38f, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
    EXPECT_TRUE(Matrix34Inverse(out, small));
    float m44[16] = {1.1754944e-38f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 2, 3, 4, 1};
    float out44[16];
    EXPECT_FALSE(Matrix44Inverse(out44, m44));
    const float expected44[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -2, -3, -4, 1};
    ExpectMatrixNear(out44, expected44, 16, 0.0f);
}

TEST(MatrixTest, WellConditionedInversesUndoTheirMatrix) {
    std::mt19937 rng(42);
    std::uniform_real_distribution<float> u(-1.0f, 1.0f);
    for (int trial = 0; trial < 200; ++trial) {
        float m[16];
        for (float& v : m)
            v = u(rng);
        for (int i = 0; i < 4; ++i)
            m[i * 5] += 3.0f; // diagonally dominant
        float inverse[16], product[16];
        ASSERT_TRUE(Matrix44Inverse(inverse, m));
        Matrix44Multiply(product, m, inverse);
        const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        ExpectMatrixNear(product, identity, 16, 1e-5f);

        float m34[12];
        for (int i = 0; i < 12; ++i)
            m34[i] = u(rng) + ((i == 0 || i == 4 || i == 8) ? 3.0f : 0.0f);
        float inverse34[12], product34[12];
        ASSERT_TRUE(Matrix34Inverse(inverse34, m34));
        Matrix34Multiply(product34, m34, inverse34);
        const float identity34[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
        ExpectMatrixNear(product34, identity34, 12, 1e-5f);
    }
}

TEST(MatrixTest, RotationFromAnglesFollowsTheQuaternion) {
    float r[12];
    // (0, pi/2, 0): the quaternion of +90 degrees about Y.
    RotationFromAngles(r, 0.0f, kHalfPi, 0.0f);
    const float aboutY[12] = {0, 0, 1, 0, 1, 0, -1, 0, 0, 0, 0, 0};
    ExpectMatrixNear(r, aboutY, 12, 1e-6f);
    // (pi/2, 0, 0): the quaternion of -90 degrees about X.
    RotationFromAngles(r, kHalfPi, 0.0f, 0.0f);
    const float aboutX[12] = {1, 0, 0, 0, 0, 1, 0, -1, 0, 0, 0, 0};
    ExpectMatrixNear(r, aboutX, 12, 1e-6f);
    RotationFromAngles(r, 0.0f, 0.0f, kHalfPi);
    const float aboutZ[12] = {0, 1, 0, -1, 0, 0, 0, 0, 1, 0, 0, 0};
    ExpectMatrixNear(r, aboutZ, 12, 1e-6f);
}

TEST(MatrixTest, EmittedPointsArePlacedUnlessInWorldSpace) {
    FulgorCore::EmissionPoint source{};
    source.position[0] = 1.0f;
    source.direction[1] = 1.0f;
    for (int i = 0; i < 12; ++i)
        source.values[i] = static_cast<float>(i);
    // Rotate +90 about Z (X -> Y) and move by (10, 0, 0).
    const float transform[12] = {0, 1, 0, -1, 0, 0, 0, 0, 1, 10, 0, 0};
    FulgorCore::EmittedFrame dest{};
    TransformCompose34(&dest, &source, false, transform);
    EXPECT_EQ(dest.position[0][0], 10.0f);
    EXPECT_EQ(dest.position[0][1], 1.0f);
    EXPECT_EQ(dest.direction[0], -1.0f);
    EXPECT_EQ(dest.direction[1], 0.0f);
    EXPECT_EQ(dest.position[2][1], 1.0f);
    EXPECT_EQ(dest.position[1][0], 10.0f);
    EXPECT_EQ(dest.values[11], 11.0f);
    TransformCompose34(&dest, &source, true, transform);
    EXPECT_EQ(dest.position[0][0], 1.0f);
    EXPECT_EQ(dest.position[2][0], 1.0f);
    EXPECT_EQ(dest.direction[1], 1.0f);
}

TEST(MatrixTest, BoundingRadiusScalesByTheLongestAxis) {
    const float world[12] = {4, 0, 0, 0, 1, 0, 0, 0, 2, 1, 2, 3};
    const float centre[3] = {1, 1, 1};
    float sphere[4];
    FulgorCore::ComputeBoundingRadius(sphere, centre, 0.5f, world);
    EXPECT_EQ(sphere[0], 5.0f);
    EXPECT_EQ(sphere[1], 3.0f);
    EXPECT_EQ(sphere[2], 5.0f);
    // The approximate root of 16 is exactly 4.
    EXPECT_EQ(sphere[3], 2.0f);
}

} // namespace
