// The draw units' per-frame steps the runtime core holds.
#include "effects/drawunits/DrawUnitSteps.h"
#include "effects/Core/Noise/Xorshift128.h"
#include "effects/Core/Resource/FloatTripleProperty.h"
#include "effects/drawunits/ParticleField.h"
#include "support/effects/RecordBuild.h"
#include "tools/effect/PropertyWriter.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using FulgorCore::FieldPoint;

TEST(AdvanceWrappedTime, WrapsByWholePeriodsAndNotAtAllWithoutOne) {
    float time = 4.0f;
    FulgorCore::AdvanceWrappedTime(time, 5.0f, 3.0f);
    EXPECT_EQ(time, 2.0f);
    FulgorCore::AdvanceWrappedTime(time, 5.0f, 3.0f);
    EXPECT_EQ(time, 0.0f);
    time = 1.0f;
    FulgorCore::AdvanceWrappedTime(time, 0.25f, 1000000.0f);
    EXPECT_LT(time, 0.25f);
    EXPECT_GE(time, 0.0f);
    // A period of 0 or less returns with the time advanced.
    time = 1.0f;
    FulgorCore::AdvanceWrappedTime(time, 0.0f, 2.0f);
    EXPECT_EQ(time, 3.0f);
    FulgorCore::AdvanceWrappedTime(time, -4.0f, 2.0f);
    EXPECT_EQ(time, 5.0f);
}

TEST(UpdateScale, TheValueGoesOnTheDiagonal) {
    effecttools::ChunkWriter w;
    effecttools::WriteTripleProperty(w, "Scl",
                                     effecttools::TripleValue{0, effecttools::Constant(2.0f),
                                                              effecttools::Constant(3.0f),
                                                              effecttools::Constant(4.0f)});
    testsupport::RecordBuild<FulgorCore::FloatTripleProperty> scale(
        testsupport::PayloadOf(w.Take()));
    ASSERT_TRUE(scale.Built());
    float m[12] = {0, 9, 9, 9, 0, 9, 9, 9, 0, 7, 7, 7};
    const float samples[3] = {};
    FulgorCore::Xorshift128 random;
    FulgorCore::UpdateScale(m, *scale, samples, {0.0f, 0.0f}, random);
    EXPECT_EQ(m[0], 2.0f);
    EXPECT_EQ(m[4], 3.0f);
    EXPECT_EQ(m[8], 4.0f);
    EXPECT_EQ(m[1], 9.0f);
    EXPECT_EQ(m[9], 7.0f);
}

std::vector<int>& HandlerLog() {
    static std::vector<int> log;
    return log;
}

TEST(UpdateParticles, EachPointIsCopiedAgedAndHandledByItsState) {
    HandlerLog().clear();
    FieldPoint previous[3] = {};
    previous[0].state = 0;
    previous[0].age = 1.0f;
    previous[0].values[5] = 42.0f;
    previous[1].state = 2;
    previous[2].state = 1;
    FieldPoint current[3] = {};
    const FulgorCore::FieldPointHandler first[4] = {
        [](FieldPoint& p, const FulgorCore::ParticleField::StepContext&) {
            HandlerLog().push_back(10);
            p.state = 2; // started: alive from now on
        },
        nullptr,
        [](FieldPoint&, const FulgorCore::ParticleField::StepContext&) {
            HandlerLog().push_back(12);
        },
        nullptr};
    const FulgorCore::FieldPointHandler second[4] = {
        nullptr, nullptr,
        [](FieldPoint&, const FulgorCore::ParticleField::StepContext&) {
            HandlerLog().push_back(22);
        },
        nullptr};
    const FulgorCore::ParticleField::StepContext step;
    FulgorCore::UpdateParticles(previous, current, 3, 0.5f, first, second, step);
    // Point 0 starts and, alive now, integrates; point 1 is alive; point 2
    // does nothing.
    EXPECT_EQ(HandlerLog(), (std::vector<int>{10, 22, 12, 22}));
    EXPECT_EQ(current[0].age, 1.5f);
    EXPECT_EQ(current[0].values[5], 42.0f);
    EXPECT_EQ(current[2].age, 0.5f);
    EXPECT_EQ(previous[0].state, 0u);
}

TEST(FieldHandlers, ThreeFlagBitsChooseOneOfEight) {
    EXPECT_EQ(FulgorCore::SelectFieldHandler(0), 0u);
    EXPECT_EQ(FulgorCore::SelectFieldHandler(1u << 16), 1u);
    EXPECT_EQ(FulgorCore::SelectFieldHandler(1u << 19), 2u);
    EXPECT_EQ(FulgorCore::SelectFieldHandler(1u << 22), 4u);
    EXPECT_EQ(FulgorCore::SelectFieldHandler(0xFFFFFFFFu), 7u);
    EXPECT_EQ(FulgorCore::SelectFieldHandler(~((1u << 16) | (1u << 19) | (1u << 22))), 0u);
}

TEST(FieldHandlers, ASpawnedPointStartsOnceItsDelayIsNotNegative) {
    static bool flag;
    static int spawns;
    spawns = 0;
    auto spawn = [](FieldPoint&, bool f) {
        flag = f;
        ++spawns;
    };
    FieldPoint point{};
    point.state = 0x6;
    EXPECT_FALSE(FulgorCore::StartSpawnedPoint(point, -1.0f, 1u << 21, spawn));
    EXPECT_EQ(spawns, 0);
    EXPECT_TRUE(FulgorCore::StartSpawnedPoint(point, 0.0f, 1u << 21, spawn));
    EXPECT_EQ(spawns, 1);
    EXPECT_TRUE(flag);
    EXPECT_EQ(point.state, 0x4u);
    EXPECT_TRUE(FulgorCore::StartSpawnedPoint(point, 2.0f, 0, spawn));
    EXPECT_FALSE(flag);
}

} // namespace
