#include "effects/Core/Resource/FloatPairProperty.h"
#include "effects/Core/Value/ValueConstant.h"
#include "support/effects/RecordBuild.h"
#include "tools/effect/PropertyWriter.h"

#include <gtest/gtest.h>

namespace {

using effecttools::ChunkWriter;
using effecttools::Constant;
using effecttools::ConstantValue;
using effecttools::PairValue;
using FulgorCore::EvaluationContext;
using FulgorCore::FloatPairProperty;
using FulgorCore::Xorshift128;
using Pair = testsupport::RecordBuild<FloatPairProperty>;

std::vector<uint8_t> Bytes(const PairValue& v) {
    ChunkWriter w;
    effecttools::WritePairProperty(w, "VlRt", v);
    return testsupport::PayloadOf(w.Take());
}

TEST(FloatPairPropertyTest, AnXDrivenPairWithoutXIsZero) {
    Pair p(Bytes({1, std::nullopt, Constant(3.0f)}));
    EXPECT_EQ(p->GetLinkMode(), 1u);
    EXPECT_EQ(p->GetSelector(), 0u);
    EXPECT_TRUE(p->IsZero());
    // Y is not read in mode 1: nothing measured for it.
    EXPECT_EQ(p.measured, 0u);
    Xorshift128 state;
    const float samples[2] = {0.5f, 0.5f};
    float out[2] = {9, 9};
    p->Evaluate(EvaluationContext{}, samples, state, out);
    EXPECT_EQ(out[0], 0.0f);
    EXPECT_EQ(out[1], 0.0f);
}

TEST(FloatPairPropertyTest, LinkModesChooseTheComponents) {
    const float samples[2] = {0.25f, 0.5f};
    Xorshift128 state;
    float out[2];
    Pair separate(Bytes({0, Constant(2.0f), Constant(3.0f)}));
    EXPECT_EQ(separate->GetSelector(), 1u);
    separate->Evaluate(EvaluationContext{}, samples, state, out);
    EXPECT_FLOAT_EQ(out[0], 2.25f);
    EXPECT_FLOAT_EQ(out[1], 3.5f);

    Pair xDrives(Bytes({1, Constant(2.0f), Constant(3.0f)}));
    EXPECT_EQ(xDrives->GetSelector(), 2u);
    xDrives->Evaluate(EvaluationContext{}, samples, state, out);
    EXPECT_FLOAT_EQ(out[0], 2.25f);
    EXPECT_FLOAT_EQ(out[1], 2.25f);

    Pair yDrives(Bytes({2, Constant(2.0f), Constant(3.0f)}));
    EXPECT_EQ(yDrives->GetSelector(), 3u);
    yDrives->Evaluate(EvaluationContext{}, samples, state, out);
    EXPECT_FLOAT_EQ(out[0], 3.25f);
    EXPECT_FLOAT_EQ(out[1], 3.25f);
    EXPECT_EQ(yDrives->GetX().GetKind(), FulgorCore::FloatProperty::kNone);
}

TEST(FloatPairPropertyTest, LinkModeThreeReadsAsSeparate) {
    Pair p(Bytes({3, Constant(2.0f), Constant(3.0f)}));
    EXPECT_EQ(p->GetLinkMode(), 0u);
    EXPECT_EQ(p->GetSelector(), 1u);
    EXPECT_EQ(p->GetY().GetConstant()->GetValue(), 3.0f);
}

TEST(FloatPairPropertyTest, ALinkAfterTheComponentsComesTooLate) {
    // "X" is read under mode 0, then mode 2 leaves only Y, which is absent.
    ChunkWriter w;
    w.Begin("VlRt");
    effecttools::WriteFloatProperty(w, "X", Constant(4.0f));
    w.U16("Link", 2).End();
    Pair p(testsupport::PayloadOf(w.Take()));
    EXPECT_EQ(p->GetLinkMode(), 2u);
    EXPECT_EQ(p->GetSelector(), 0u);
}

TEST(FloatPairPropertyTest, FlagsCombineTheComponentsRead) {
    Pair ones(Bytes({0, Constant(1.0f), Constant(1.0f)}));
    EXPECT_TRUE(ones->IsOne());
    EXPECT_TRUE(ones->IsConstant());
    Pair mixed(Bytes({0, Constant(1.0f), ConstantValue{1.0f, 0.0f, 1.0f}}));
    EXPECT_FALSE(mixed->IsOne());
    EXPECT_FALSE(mixed->IsConstant());
    EXPECT_FALSE(mixed->IsZero());
}

TEST(FloatPairPropertyTest, SamplesAreDrawnOncePerComponentUsed) {
    Pair separate(Bytes({0, ConstantValue{0, 0, 1}, ConstantValue{0, 10, 11}}));
    Xorshift128 state;
    Xorshift128 copy = state;
    float samples[2];
    separate->SampleRandom(state, samples);
    EXPECT_FLOAT_EQ(samples[0], copy.NextFloat01());
    EXPECT_FLOAT_EQ(samples[1], 10.0f + copy.NextFloat01());

    Pair xDrives(Bytes({1, ConstantValue{0, 0, 1}, std::nullopt}));
    Xorshift128 one;
    Xorshift128 oneCopy = one;
    xDrives->SampleRandom(one, samples);
    EXPECT_EQ(samples[0], samples[1]);
    oneCopy.Next();
    EXPECT_EQ(one.w, oneCopy.w);
}

} // namespace
