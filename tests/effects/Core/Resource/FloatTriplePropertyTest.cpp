#include "effects/Core/Resource/FloatTripleProperty.h"
#include "effects/Core/Value/ValueConstant.h"
#include "support/effects/RecordBuild.h"
#include "tools/effect/PropertyWriter.h"

#include <gtest/gtest.h>

namespace {

using effecttools::ChunkWriter;
using effecttools::Constant;
using effecttools::ConstantValue;
using effecttools::CurvesValue;
using effecttools::TripleValue;
using FulgorCore::EvaluationContext;
using FulgorCore::FloatTripleProperty;
using FulgorCore::Xorshift128;
using Triple = testsupport::RecordBuild<FloatTripleProperty>;

std::vector<uint8_t> Bytes(const TripleValue& v) {
    ChunkWriter w;
    effecttools::WriteTripleProperty(w, "Pos", v);
    return testsupport::PayloadOf(w.Take());
}

TripleValue OneTwoThree(uint16_t link) {
    return {link, Constant(1.0f), Constant(2.0f), Constant(3.0f)};
}

// A curve whose random curve (type 4) takes one step per evaluation.
effecttools::FloatValue Stepping(float value) {
    CurvesValue c;
    c.value.keys = {{1, 0.0f, value, 0, 0}};
    c.random.randomType = 4;
    c.random.keys = {{1, 0.0f, 0.0f, 0, 0}};
    return c;
}

TEST(FloatTriplePropertyTest, EachLinkModeFillsItsOutputs) {
    // The table's output column with X = 1, Y = 2, Z = 3.
    const float expected[10][3] = {{1, 2, 3}, {1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {1, 1, 3},
                                   {1, 2, 1}, {2, 2, 3}, {1, 2, 2}, {3, 2, 3}, {1, 3, 3}};
    for (uint16_t mode = 0; mode < 10; ++mode) {
        Triple t(Bytes(OneTwoThree(mode)));
        EXPECT_EQ(t->GetLinkMode(), mode);
        EXPECT_EQ(t->GetSelector(), mode + 1u);
        Xorshift128 state;
        const float samples[3] = {0, 0, 0};
        float out[3];
        t->Evaluate(EvaluationContext{}, samples, state, out);
        for (int j = 0; j < 3; ++j)
            EXPECT_EQ(out[j], expected[mode][j]) << mode << " " << j;
    }
}

TEST(FloatTriplePropertyTest, ModesPastNineReadAsZero) {
    for (uint16_t mode = 10; mode < 16; ++mode) {
        Triple t(Bytes(OneTwoThree(mode)));
        EXPECT_EQ(t->GetLinkMode(), 0u) << mode;
        EXPECT_EQ(t->GetSelector(), 1u) << mode;
        EXPECT_EQ(t->GetZ().GetConstant()->GetValue(), 3.0f) << mode;
    }
}

TEST(FloatTriplePropertyTest, ModeEightEvaluatesYAndZOnceEach) {
    Triple t(Bytes({8, Stepping(1.0f), Stepping(2.0f), Stepping(3.0f)}));
    EXPECT_EQ(t->GetX().GetKind(), FulgorCore::FloatProperty::kNone);
    Xorshift128 state;
    Xorshift128 twoSteps = state;
    twoSteps.Next();
    twoSteps.Next();
    const float samples[3] = {0, 0, 0};
    float out[3];
    t->Evaluate(EvaluationContext{}, samples, state, out);
    EXPECT_EQ(state.w, twoSteps.w);
    EXPECT_EQ(state.z, twoSteps.z);
    EXPECT_FLOAT_EQ(out[0], 3.0f);
    EXPECT_FLOAT_EQ(out[1], 2.0f);
    EXPECT_EQ(out[2], out[0]);
}

TEST(FloatTriplePropertyTest, ModeEightDrawsZBeforeY) {
    Triple t(Bytes({8, std::nullopt, ConstantValue{0, 0, 1}, ConstantValue{0, 10, 11}}));
    Xorshift128 state;
    Xorshift128 copy = state;
    float samples[3];
    t->SampleRandom(state, samples);
    const float first = copy.NextFloat01();
    const float second = copy.NextFloat01();
    EXPECT_FLOAT_EQ(samples[0], 10.0f + first);
    EXPECT_EQ(samples[2], samples[0]);
    EXPECT_FLOAT_EQ(samples[1], second);
    EXPECT_EQ(state.w, copy.w);
}

TEST(FloatTriplePropertyTest, SamplesFollowTheDrawOrderOfEveryMode) {
    // The component drawn first per mode (0 X, 1 Y, 2 Z) and the draw count.
    const int firstDraw[10] = {0, 0, 1, 2, 0, 0, 1, 1, 2, 2};
    const int draws[10] = {3, 1, 1, 1, 2, 2, 2, 2, 2, 2};
    for (uint16_t mode = 0; mode < 10; ++mode) {
        // X in [0, 1), Y in [10, 11), Z in [20, 21).
        Triple t(Bytes(
            {mode, ConstantValue{0, 0, 1}, ConstantValue{0, 10, 11}, ConstantValue{0, 20, 21}}));
        Xorshift128 state;
        Xorshift128 copy = state;
        float samples[3] = {-1, -1, -1};
        t->SampleRandom(state, samples);
        const float u = copy.NextFloat01();
        bool found = false;
        for (float s : samples)
            found = found || s == static_cast<float>(firstDraw[mode] * 10) + u;
        EXPECT_TRUE(found) << mode;
        Xorshift128 counted;
        for (int i = 0; i < draws[mode]; ++i)
            counted.Next();
        EXPECT_EQ(state.w, counted.w) << mode;
        for (float s : samples)
            EXPECT_GE(s, 0.0f) << mode;
    }
}

TEST(FloatTriplePropertyTest, TheSelectorLooksAtEveryComponentRead) {
    // Mode 2 reads Y and Z but writes only Y.
    Triple zOnly(Bytes({2, std::nullopt, std::nullopt, Constant(5.0f)}));
    EXPECT_EQ(zOnly->GetSelector(), 3u);
    Xorshift128 state;
    const float samples[3] = {0, 0, 0};
    float out[3] = {9, 9, 9};
    zOnly->Evaluate(EvaluationContext{}, samples, state, out);
    EXPECT_EQ(out[0], 0.0f);
    EXPECT_EQ(out[2], 0.0f);
    Triple none(Bytes({2, Constant(5.0f), std::nullopt, std::nullopt}));
    EXPECT_EQ(none->GetSelector(), 0u);
    EXPECT_TRUE(none->IsZero());
}

} // namespace
