#include "effects/Core/Noise/HalfFloat.h"
#include "effects/Core/Noise/HashRandom.h"
#include "effects/Core/Noise/RandomDirection.h"
#include "effects/Core/Noise/Xorshift128.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

using FulgorCore::Xorshift128;
using namespace FulgorCore::Math;

TEST(RandomTest, XorshiftStepsFromTheClassicState) {
    Xorshift128 r;
    EXPECT_EQ(r.Next(), 3701687786u);
    EXPECT_EQ(r.Next(), 458299110u);
    EXPECT_EQ(r.Next(), 2500872618u);
}

TEST(RandomTest, SeedingFollowsTheMultiplierChain) {
    Xorshift128 r;
    r.Seed(1);
    // m1 = 1812433253 * (1 ^ 0) + 1.
    EXPECT_EQ(r.x, 1812433254u);
    const uint32_t m2 = 1812433253u * (r.x ^ (r.x >> 30)) + 2;
    EXPECT_EQ(r.y, m2);
    Xorshift128 again;
    again.Seed(1);
    EXPECT_EQ(again.w, r.w);
    for (int i = 0; i < 1000; ++i) {
        const float f = r.NextFloat01();
        ASSERT_GE(f, 0.0f);
        ASSERT_LT(f, 1.0f);
    }
}

TEST(RandomTest, HashedNumbersAreAPureFunctionOfTheCounter) {
    EXPECT_EQ(HashUint(0), 155489619u);
    EXPECT_EQ(HashUint(1), 548517411u);
    EXPECT_EQ(HashUint(171717), 590218623u);
    EXPECT_FLOAT_EQ(HashFloat01(0), 155489619.0f * 2.3283064e-10f);
    uint32_t counter = 10;
    float v[3];
    RandomUnitVectorHashed(v, counter);
    EXPECT_NEAR(v[0] * v[0] + v[1] * v[1] + v[2] * v[2], 1.0f, 1e-6f);
    EXPECT_EQ((counter - 10) % 3, 0u);
    EXPECT_GT(counter, 10u);
    uint32_t again = 10;
    float w[3];
    RandomUnitVectorHashed(w, again);
    EXPECT_EQ(again, counter);
    EXPECT_EQ(v[2], w[2]);
}

TEST(RandomTest, HalfFloatsPackTruncated) {
    EXPECT_EQ(FloatToHalf(1.0f), 0x3C00u);
    EXPECT_EQ(FloatToHalf(-2.0f), 0xC000u);
    EXPECT_EQ(FloatToHalf(65504.0f), 0x7BFFu);
    // Truncated, not rounded: 1 + 2047/2048 keeps the top ten mantissa bits.
    EXPECT_EQ(FloatToHalf(1.99951171875f), 0x3FFFu);
    // The exponent clamps at 31.
    EXPECT_EQ(FloatToHalf(1.0e6f) & 0x7C00u, 0x7C00u);
    EXPECT_EQ(FloatToHalf(0.0f), 0u);
    EXPECT_EQ(FloatToHalf(std::ldexp(1.0f, -14)), 0x0400u);
    EXPECT_EQ(FloatToHalf(std::ldexp(1.0f, -15)), 0u);
    EXPECT_EQ(FloatToHalf(-1.0e-30f), 0u);
    EXPECT_EQ(HalfToFloat(0), 0.0f);
    EXPECT_EQ(HalfToFloat(0x3C00), 1.0f);
    EXPECT_EQ(HalfToFloat(0xB600), -0.375f);
    EXPECT_EQ(HalfToFloat(0x0001), std::ldexp(1.0f + 1.0f / 1024.0f, -15));
    EXPECT_EQ(HalfToFloat(FloatToHalf(1.5f)), 1.5f);
}

// A draw's [0, 1) float: the word's low 23 bits as the mantissa of 1.x,
// minus 1.
float Unit(uint32_t w) {
    const uint32_t bits = (w & 0x7FFFFFu) | 0x3F800000u;
    float f;
    std::memcpy(&f, &bits, 4);
    return f - 1.0f;
}

// Each direction from its two draws u1, u2: the cosine c of the angle from
// its axis (the sphere 1 - 2 u1, a cone between angles a and b cos a -
// (cos a - cos b) u1), s = sin(arccos c), phi = 2 pi u2, placed by
// component on the axis and around it.
TEST(RandomTest, DirectionsByComponentFromTwoDraws) {
    using Place = void (*)(float* out, float c, float s, float sinPhi, float cosPhi);
    const struct {
        const char* name;
        void (*cone)(float*, float, float, Xorshift128&);
        float a, b;
        Place place;
    } rows[] = {
        {"sphere", nullptr, 0, 0,
         [](float* o, float c, float s, float sp, float cp) {
             o[0] = s * sp, o[1] = c, o[2] = s * cp;
         }},
        {"cone about x", RandomDirectionInConeX, 0.2f, 0.9f,
         [](float* o, float c, float s, float sp, float cp) {
             o[0] = c, o[1] = sp * s, o[2] = cp * s;
         }},
        {"cone about y", RandomDirectionInConeY, 0.3f, 1.2f,
         [](float* o, float c, float s, float sp, float cp) {
             o[0] = sp * s, o[1] = c, o[2] = cp * s;
         }},
        {"cone about z", RandomDirectionInConeZ, 0.5f, 2.5f,
         [](float* o, float c, float s, float sp, float cp) {
             o[0] = cp * s, o[1] = sp * s, o[2] = c;
         }},
    };
    for (const auto& row : rows) {
        Xorshift128 r, shadow;
        for (int i = 0; i < 50; ++i) {
            SCOPED_TRACE(testing::Message() << row.name << " draw " << i);
            const float u1 = Unit(shadow.Next());
            const float u2 = Unit(shadow.Next());
            const float c = row.cone ? std::cos(row.a) - (std::cos(row.a) - std::cos(row.b)) * u1
                                     : 1.0f - 2.0f * u1;
            const float s = std::sin(std::acos(c));
            const float phi = 2.0f * 3.14159265f * u2;
            float expected[3], d[3];
            row.place(expected, c, s, std::sin(phi), std::cos(phi));
            if (row.cone)
                row.cone(d, row.a, row.b, r);
            else
                RandomDirectionSphere(d, r);
            for (int k = 0; k < 3; ++k)
                ASSERT_NEAR(d[k], expected[k], 2e-5f) << k;
            ASSERT_EQ(r.w, shadow.w);
        }
    }
    float d[3];
    Xorshift128 r;
    RandomDirectionInConeX(d, 0.0f, 0.0f, r);
    EXPECT_EQ(d[0], 1.0f);
    RandomDirectionInConeZ(d, 0.0f, 0.0f, r);
    EXPECT_EQ(d[2], 1.0f);
}

} // namespace
