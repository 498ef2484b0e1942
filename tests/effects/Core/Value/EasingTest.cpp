#include "effects/Core/Value/Easing.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

using FulgorCore::Easing::Function;

struct Row {
    const char* name;
    Function function;
    float at0, atHalf, at1;
};

// E(t, b = 1, c = 2) at t = 0, 0.5 and 1, worked out from the table's
// formulas. The circular kinds use the bit-level root: sq(0.75) = 0.875
// (an exact root would give 0.866), sq(1) = 1 and sq(0) about 8e-20.
const Row kRows[] = {
    {"Linear", FulgorCore::Easing::Linear, 1.0f, 2.0f, 3.0f},
    {"QuadIn", FulgorCore::Easing::QuadIn, 1.0f, 1.5f, 3.0f},
    {"QuadOut", FulgorCore::Easing::QuadOut, 1.0f, 2.5f, 3.0f},
    {"QuadInOut", FulgorCore::Easing::QuadInOut, 1.0f, 2.0f, 3.0f},
    {"CubicIn", FulgorCore::Easing::CubicIn, 1.0f, 1.25f, 3.0f},
    {"CubicOut", FulgorCore::Easing::CubicOut, 1.0f, 2.75f, 3.0f},
    {"CubicInOut", FulgorCore::Easing::CubicInOut, 1.0f, 2.0f, 3.0f},
    {"QuartIn", FulgorCore::Easing::QuartIn, 1.0f, 1.125f, 3.0f},
    {"QuartOut", FulgorCore::Easing::QuartOut, 1.0f, 2.875f, 3.0f},
    {"QuartInOut", FulgorCore::Easing::QuartInOut, 1.0f, 2.0f, 3.0f},
    {"QuintIn", FulgorCore::Easing::QuintIn, 1.0f, 1.0625f, 3.0f},
    {"QuintOut", FulgorCore::Easing::QuintOut, 1.0f, 2.9375f, 3.0f},
    {"QuintInOut", FulgorCore::Easing::QuintInOut, 1.0f, 2.0f, 3.0f},
    {"SineIn", FulgorCore::Easing::SineIn, 1.0f, 1.5857864f, 3.0f},
    {"SineOut", FulgorCore::Easing::SineOut, 1.0f, 2.4142136f, 3.0f},
    {"SineInOut", FulgorCore::Easing::SineInOut, 1.0f, 2.0f, 3.0f},
    {"ExpoIn", FulgorCore::Easing::ExpoIn, 1.0f + 2.0f / 1024.0f, 1.0625f, 3.0f},
    {"ExpoOut", FulgorCore::Easing::ExpoOut, 1.0f, 2.9375f, 1.0f + 2.0f * (1.0f - 1.0f / 1024.0f)},
    {"ExpoInOut", FulgorCore::Easing::ExpoInOut, 1.0f + 1.0f / 1024.0f, 2.0f,
     2.0f + (1.0f - 1.0f / 1024.0f)},
    {"CircIn", FulgorCore::Easing::CircIn, 1.0f, 1.25f, 3.0f},
    {"CircOut", FulgorCore::Easing::CircOut, 1.0f, 2.75f, 3.0f},
    {"CircInOut", FulgorCore::Easing::CircInOut, 1.0f, 2.0f, 3.0f},
    {"SineWave", FulgorCore::Easing::SineWave, 2.0f, 2.0f, 2.0f},
};

TEST(EasingTest, EveryKindMatchesItsRowAtTheEndsAndTheMiddle) {
    static_assert(sizeof(kRows) / sizeof(kRows[0]) == FulgorCore::Easing::kCount);
    for (uint32_t type = 0; type < FulgorCore::Easing::kCount; ++type) {
        const Row& row = kRows[type];
        const Function f = FulgorCore::Easing::Select(type);
        EXPECT_EQ(f, row.function) << row.name;
        EXPECT_NEAR(f(0.0f, 1.0f, 2.0f), row.at0, 1e-6f) << row.name;
        EXPECT_NEAR(f(0.5f, 1.0f, 2.0f), row.atHalf, 1e-6f) << row.name;
        EXPECT_NEAR(f(1.0f, 1.0f, 2.0f), row.at1, 1e-6f) << row.name;
    }
}

TEST(EasingTest, ExponentialKindsHaveNoSpecialCaseAtTheEnds) {
    EXPECT_FLOAT_EQ(FulgorCore::Easing::ExpoIn(0.0f, 0.0f, 1024.0f), 1.0f);
    EXPECT_FLOAT_EQ(FulgorCore::Easing::ExpoOut(1.0f, 0.0f, 1024.0f), 1023.0f);
}

TEST(EasingTest, TypesPastTheTableAreLinear) {
    EXPECT_EQ(FulgorCore::Easing::Select(23), FulgorCore::Easing::Linear);
    EXPECT_EQ(FulgorCore::Easing::Select(255), FulgorCore::Easing::Linear);
}

} // namespace
