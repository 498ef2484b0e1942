#include "effects/Core/Math/FastRoot.h"
#include "effects/Core/Math/Vector3.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

using namespace FulgorCore::Math;

uint32_t Bits(float f) {
    uint32_t u;
    std::memcpy(&u, &f, 4);
    return u;
}

TEST(FastRootTest, ReciprocalRootIsOneNewtonStepFromItsSeed) {
    EXPECT_NEAR(ReciprocalSqrt(1.0f), 0.99830f, 0.00001f);
    // Bit for bit: the 0x5F375A86 seed, not 0x5F3759DF (which gives
    // 3F7F910F and 3F34F95E).
    EXPECT_EQ(Bits(ReciprocalSqrt(1.0f)), 0x3F7F911Fu);
    EXPECT_EQ(Bits(ReciprocalSqrt(2.0f)), 0x3F34F957u);
    EXPECT_EQ(Bits(ReciprocalSqrt(16.0f)), 0x3E7F911Fu);
    // No guard: -1 (bits 0xBF800000, halved arithmetically 0xDFC00000)
    // seeds 0x5F375A86 - 0xDFC00000 = 0x7F775A86, and the Newton step
    // y (1.5 + 0.5 y^2) overflows to +infinity.
    float seed;
    const uint32_t seedBits = 0x7F775A86u;
    std::memcpy(&seed, &seedBits, 4);
    EXPECT_EQ(0x5F375A86u - static_cast<uint32_t>(static_cast<int32_t>(Bits(-1.0f)) >> 1),
              seedBits);
    const float negative = ReciprocalSqrt(-1.0f);
    EXPECT_EQ(negative, seed * (1.5f + 0.5f * seed * seed));
    EXPECT_TRUE(std::isinf(negative) && negative > 0.0f);
}

TEST(FastRootTest, ApproximateRootHalvesTheExponent) {
    EXPECT_EQ(ApproxSqrt(4.0f), 2.0f);
    EXPECT_EQ(ApproxSqrt(16.0f), 4.0f);
    EXPECT_EQ(ApproxSqrt(2.0f), 1.5f);
    EXPECT_EQ(ApproxSqrt(-4.0f), 2.0f);
    EXPECT_EQ(ApproxSqrt(0.25f), 0.5f);
}

TEST(FastRootTest, NormalisedVectorsComeOutSlightlyShort) {
    const float v[3] = {3.0f, 0.0f, 4.0f};
    float n[3];
    Vector3Normalize(n, v);
    const float length = std::sqrt(Vector3Dot(n, n));
    EXPECT_LT(length, 1.0f);
    EXPECT_NEAR(length, 0.9983f, 0.0005f);
    EXPECT_NEAR(n[0] / n[2], 0.75f, 1e-6f);
}

TEST(FastRootTest, VectorOperations) {
    const float a[3] = {1, 2, 3}, b[3] = {4, 8, 16};
    float r[3];
    Vector3Sub(r, a, b);
    EXPECT_EQ(r[2], -13.0f);
    Vector3Div(r, b, a);
    EXPECT_EQ(r[1], 4.0f);
    Vector3SubScalar(r, 10.0f, a);
    EXPECT_EQ(r[0], 9.0f);
    Vector3SubScalar(r, a, 10.0f);
    EXPECT_EQ(r[0], -9.0f);
    Vector3DivScalar(r, 8.0f, b);
    EXPECT_EQ(r[2], 0.5f);
    Vector3DivScalar(r, b, 4.0f);
    EXPECT_EQ(r[2], 4.0f);
    Vector3Cross(r, a, b);
    EXPECT_EQ(r[0], 2 * 16 - 3 * 8);
    EXPECT_EQ(r[1], 3 * 4 - 1 * 16);
    EXPECT_EQ(r[2], 1 * 8 - 2 * 4);
    // c = 0 leaves only the part along the axis.
    const float axis[3] = {0, 1, 0};
    Vector3BlendToAxis(r, a, 0.0f, axis);
    EXPECT_EQ(r[0], 0.0f);
    EXPECT_EQ(r[1], 2.0f);
    Vector3BlendToAxis(r, a, 1.0f, axis);
    EXPECT_EQ(r[2], 3.0f);
    const float x[3] = {1, 0, 0}, y[3] = {0, 1, 0};
    Vector3Nlerp(r, x, y, 0.5f);
    EXPECT_NEAR(r[0], r[1], 1e-7f);
    EXPECT_LT(r[0], 0.70711f);
    EXPECT_NEAR(r[0], 0.70711f, 0.0005f);
}

} // namespace
