#include "effects/Core/Math/Shaping.h"
#include "effects/Core/Math/FloatConversion.h"
#include "effects/Core/Math/Intersection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using namespace FulgorCore::Math;

TEST(ShapingTest, DistanceWindowIsATrapezoid) {
    const float window[4] = {1, 3, 4, 12};
    const float origin[3] = {0, 0, 0};
    auto at = [&](float d) {
        const float p[3] = {d, 0, 0};
        return DistanceFadeWindow(window, p, origin);
    };
    // Distances that are powers of two come out of the approximate root
    // exactly.
    EXPECT_EQ(at(0.5f), 0.0f);
    EXPECT_EQ(at(1.0f), 0.0f);
    EXPECT_EQ(at(2.0f), 0.5f);
    EXPECT_EQ(at(4.0f), 1.0f);
    EXPECT_EQ(at(8.0f), 0.5f);
    EXPECT_EQ(at(16.0f), 0.0f);
    // The approximate root of 9 is 3.125, not 3: already on the plateau.
    EXPECT_EQ(at(3.0f), 1.0f);
}

TEST(ShapingTest, SmoothFunctions) {
    EXPECT_EQ(SmootherStep(-1.0f), 0.0f);
    EXPECT_EQ(SmootherStep(2.0f), 1.0f);
    EXPECT_EQ(SmootherStep(0.5f), 0.5f);
    EXPECT_NEAR(SmootherStep(0.25f), 0.103515625f, 1e-7f);
    EXPECT_EQ(SmootherStepSigned(0.0f), 0.0f);
    EXPECT_EQ(SmootherStepSigned(-1.0f), -1.0f);
    EXPECT_EQ(SmootherStepSigned(3.0f), 1.0f);
    // Far apart it is the plain minimum; equal inputs dip by k / 4.
    EXPECT_EQ(SmoothMin(1.0f, 5.0f, 0.1f), 1.0f);
    EXPECT_EQ(SmoothMin(5.0f, 1.0f, 0.1f), 1.0f);
    EXPECT_NEAR(SmoothMin(1.0f, 1.0f, 0.4f), 0.9f, 1e-6f);
    const float centre[3] = {0, 0, 0}, p[3] = {0, 4, 0};
    EXPECT_EQ(SphereDistance(p, centre, 1.5f), 2.5f);
    const float a[1] = {2}, b[1] = {1};
    EXPECT_TRUE(GreaterFirst(a, b));
    EXPECT_FALSE(GreaterFirst(b, a));
}

TEST(ShapingTest, TruncationOutsideTheRangeGivesTheIndefiniteValue) {
    EXPECT_EQ(TruncateToInt32(-2.9f), -2);
    EXPECT_EQ(TruncateToInt32(2147483520.0f), 2147483520);
    EXPECT_EQ(TruncateToInt32(-2147483648.0f), INT32_MIN);
    EXPECT_EQ(TruncateToInt32(2147483648.0f), INT32_MIN);
    EXPECT_EQ(TruncateToInt32(std::numeric_limits<float>::quiet_NaN()), INT32_MIN);
    EXPECT_EQ(TruncateToInt32(-std::numeric_limits<float>::infinity()), INT32_MIN);
    EXPECT_EQ(static_cast<uint32_t>(TruncateToInt32(1e20f)), 0x80000000u);
    EXPECT_EQ(TruncateToInt64(1e10f), 10000000000);
    EXPECT_EQ(TruncateToInt64(9.3e18f), INT64_MIN);
    EXPECT_EQ(TruncateToInt64(std::numeric_limits<float>::quiet_NaN()), INT64_MIN);
}

TEST(ShapingTest, SegmentAgainstABox) {
    const float half[3] = {1, 1, 1};
    const float a[3] = {-5, 0.5f, 0.5f}, b[3] = {5, 0.5f, 0.5f};
    EXPECT_TRUE(SegmentHitsBox(a, b, half));
    const float c[3] = {-5, 1.5f, 0}, d[3] = {5, 1.5f, 0};
    EXPECT_FALSE(SegmentHitsBox(c, d, half));
    // Bounds are inclusive.
    const float e[3] = {-5, 1.0f, 1.0f}, f[3] = {5, 1.0f, 1.0f};
    EXPECT_TRUE(SegmentHitsBox(e, f, half));
    // A delta of at most 0.005 on every axis tests nothing.
    const float g[3] = {0, 0, 0}, h[3] = {0.004f, 0, 0};
    EXPECT_FALSE(SegmentHitsBox(g, h, half));
    // Along z, through the box.
    const float i[3] = {0.2f, -0.3f, 10}, j[3] = {0.2f, -0.3f, -10};
    EXPECT_TRUE(SegmentHitsBox(i, j, half));
}

TEST(ShapingTest, RayAgainstASphere) {
    const float bounds[2] = {0, 4}; // radius 2
    const float a[3] = {-10, 1.5f, 0}, b[3] = {10, 1.5f, 0};
    EXPECT_TRUE(RayHitsSphere(a, b, bounds));
    const float c[3] = {-10, 2.2f, 0}, d[3] = {10, 2.2f, 0};
    EXPECT_FALSE(RayHitsSphere(c, d, bounds));
}

} // namespace
