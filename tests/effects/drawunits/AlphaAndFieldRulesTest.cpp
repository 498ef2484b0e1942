// The alpha bytes of the vertex parameters, the field's colour ramp, its
// lifetime rules and forces, and the strip history's chaining.
#include "support/effects/DrawUnitRig.h"

#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Noise/CurlNoise.h"
#include "effects/Core/Resource/DrawDataType4.h"
#include "effects/drawunits/ColorKeys4.h"
#include "effects/drawunits/DrawUnitRenderBlock.h"
#include "effects/drawunits/ParticleField.h"
#include "effects/drawunits/StripHistory.h"

#include <gtest/gtest.h>

namespace {

using effecttools::Constant;
using effecttools::DrawPartValue;
using FulgorCore::DrawUnit;
using FulgorCore::FieldPoint;
using testsupport::DrawEffect;
using testsupport::DrawUnitRig;
using testsupport::KernelUnit;
namespace Field = FulgorCore::ParticleField;

// A linear curve through (0, -1), (10, 0), (20, 1).
effecttools::FloatValue MinusOneToOne() {
    effecttools::CurvesValue c;
    c.value.keys = {
        {1, 0.0f, -1.0f, 0.0f, 0.0f}, {1, 10.0f, 0.0f, 0.0f, 0.0f}, {1, 20.0f, 1.0f, 0.0f, 0.0f}};
    return c;
}

DrawPartValue AlphaPart(uint32_t drawType) {
    DrawPartValue part;
    if (drawType == 5)
        part.data = effecttools::DrawDataType5Value{};
    else
        part.data = effecttools::DrawDataType3Value{};
    part.fields = {{"bPAo", 1}, {"bPAt", 1}};
    part.aOff = MinusOneToOne();
    part.aTes = Constant(200.7f);
    return part;
}

TEST(AlphaParameters, OffsetTravelsScaledAndThresholdTruncated) {
    DrawUnitRig rig(DrawEffect({AlphaPart(3), AlphaPart(5), DrawPartValue{}}));
    ASSERT_TRUE(rig.ok);
    DrawUnit* unit = DrawUnit::Create<KernelUnit>(rig.MakeOwner(), rig.Part(0));
    const float times[] = {0.0f, 10.0f, 20.0f};
    const uint8_t offsets[] = {0, 127, 254};
    for (int i = 0; i < 3; ++i) {
        uint8_t record[4] = {0xAA, 0xAA, 0xAA, 0xAA};
        unit->EvaluateByteParameters(record, {times[i], times[i]});
        EXPECT_EQ(record[2], offsets[i]) << times[i];
        EXPECT_EQ(record[3], 200);
        EXPECT_EQ(record[0], 0xAA);
        EXPECT_EQ(record[1], 0xAA);
    }
    // The model type reads the raw offset.
    DrawUnit* model = DrawUnit::Create<KernelUnit>(rig.MakeOwner(), rig.Part(1));
    EXPECT_FLOAT_EQ(model->renderBlock->aOffGetter(model, {20.0f, 20.0f}), 1.0f);
    // Switched off: both getters answer 0.
    DrawUnit* off = DrawUnit::Create<KernelUnit>(rig.MakeOwner(), rig.Part(2));
    uint8_t record[4] = {};
    off->EvaluateByteParameters(record, {5.0f, 5.0f});
    EXPECT_EQ(record[2], 0);
    EXPECT_EQ(record[3], 0);
    delete unit;
    delete model;
    delete off;
}

// A particle field with the given bit fields and colour keys 0, 10, 20,
// 30 of colours (k, 2k, 3k, 4k) / 10 for key k + 1.
DrawPartValue FieldPart(std::vector<effecttools::FieldValue> fields) {
    effecttools::DrawDataType4Value field;
    field.fields = std::move(fields);
    field.colorTimes = {{"CoF1", 0}, {"CoF2", 10}, {"CoF3", 20}, {"CoF4", 30}};
    const char* channels = "RGBA";
    for (int k = 1; k <= 4; ++k)
        for (int c = 0; c < 4; ++c)
            field.floats[std::string("Co") + channels[c] + std::to_string(k)] =
                static_cast<float>(k * (c + 1)) / 10.0f;
    field.bpCt = 1;
    DrawPartValue part;
    part.data = field;
    return part;
}

TEST(ColorKeys4, RampBetweenKeysHeldOutside) {
    DrawUnitRig rig(DrawEffect({FieldPart({{"CrCt", 4}})}));
    ASSERT_TRUE(rig.ok);
    const FulgorCore::DrawDataType4& header = *rig.Part()->GetDrawDataType4();
    float spans[3];
    FulgorCore::ColorKeys4::ComputeSpans(header, spans);
    const float base[4] = {1.0f, 1.0f, 1.0f, 2.0f};
    float out[4];
    FulgorCore::ColorKeys4::Evaluate(spans, out, 15, header, base);
    for (int c = 0; c < 4; ++c) // mean of key 1 (2 (c+1) / 10) and key 2 (3 (c+1) / 10)
        EXPECT_FLOAT_EQ(out[c], base[c] * 2.5f * static_cast<float>(c + 1) / 10.0f) << c;
    FulgorCore::ColorKeys4::Evaluate(spans, out, -5, header, base);
    for (int c = 0; c < 4; ++c)
        EXPECT_FLOAT_EQ(out[c], base[c] * 0.1f * static_cast<float>(c + 1)) << c;
    FulgorCore::ColorKeys4::Evaluate(spans, out, 30, header, base);
    for (int c = 0; c < 4; ++c)
        EXPECT_FLOAT_EQ(out[c], base[c] * 0.4f * static_cast<float>(c + 1)) << c;
}

FieldPoint LivePoint(float age) {
    FieldPoint p{};
    p.state = FieldPoint::kLive;
    p.age = age;
    return p;
}

TEST(FieldRules, RepeatOrLifetimeReemits) {
    // Life 100, interval 10, 2 repeat groups of 3: limit 6; then 20 groups.
    DrawUnitRig rig(
        DrawEffect({FieldPart({{"Life", 100}, {"TCAI", 10}, {"TCDU", 2}, {"TCDV", 3}}),
                    FieldPart({{"Life", 100}, {"TCAI", 10}, {"TCDU", 20}, {"TCDV", 3}})}));
    ASSERT_TRUE(rig.ok);
    Field::StepContext six, sixty;
    six.Read(*rig.Part(0)->GetDrawDataType4());
    sixty.Read(*rig.Part(1)->GetDrawDataType4());
    EXPECT_EQ(six.repeatLimit, 6u);
    const Field::Rule rule = Field::SelectRule(3);
    FieldPoint p = LivePoint(60.5f);
    p.state |= 1u << 20;
    rule(p, six);
    EXPECT_FLOAT_EQ(p.age, 0.5f);
    EXPECT_EQ(p.state, FieldPoint::kLive | (1u << 20));
    EXPECT_FLOAT_EQ(p.emissionAge, 0.5f);
    FieldPoint q = LivePoint(60.5f);
    rule(q, sixty);
    EXPECT_FLOAT_EQ(q.age, 60.5f);
    q.age = 100.5f;
    rule(q, sixty);
    EXPECT_FLOAT_EQ(q.age, 0.5f);
    EXPECT_FLOAT_EQ(q.emissionAge, 0.5f);
}

TEST(FieldRules, RuleZeroExpiresOnlyPastTheLifetime) {
    DrawUnitRig rig(DrawEffect({FieldPart({{"Life", 100}})}));
    ASSERT_TRUE(rig.ok);
    Field::StepContext step;
    step.Read(*rig.Part()->GetDrawDataType4());
    FieldPoint at = LivePoint(100.0f);
    Field::SelectRule(0)(at, step);
    EXPECT_EQ(at.state, FieldPoint::kLive);
    EXPECT_EQ(at.age, 100.0f);
    FieldPoint past = LivePoint(100.5f);
    Field::SelectRule(0)(past, step);
    EXPECT_EQ(past.state, FieldPoint::kExpired);
    EXPECT_FLOAT_EQ(past.age, 0.5f);
    // Rules 4-6 never end a point.
    for (uint32_t r : {4u, 5u, 6u}) {
        FieldPoint p = LivePoint(1000.0f);
        Field::SelectRule(r)(p, step);
        EXPECT_EQ(p.state, FieldPoint::kLive);
        EXPECT_EQ(p.age, 1000.0f);
    }
}

// Fault: a repeat rule with an interval of 0 never re-emits by repeat; the
// lifetime part still acts.
TEST(FieldRules, ARepeatIntervalOfZeroNeverRepeats) {
    DrawUnitRig rig(DrawEffect({FieldPart({{"Life", 100}, {"TCAI", 0}, {"TCDU", 0}})}));
    ASSERT_TRUE(rig.ok);
    Field::StepContext step;
    step.Read(*rig.Part()->GetDrawDataType4());
    FieldPoint p = LivePoint(60.5f);
    Field::SelectRule(7)(p, step);
    EXPECT_EQ(p.age, 60.5f);
    Field::SelectRule(3)(p, step);
    EXPECT_EQ(p.age, 60.5f);
    p.age = 100.5f;
    Field::SelectRule(3)(p, step);
    EXPECT_FLOAT_EQ(p.age, 0.5f);
}

TEST(FieldForces, ANoiseGradientUnderAHundredthChangesNothing) {
    DrawUnitRig rig(DrawEffect({FieldPart({{"CrCt", 1}})}));
    ASSERT_TRUE(rig.ok);
    Field::StepContext step;
    step.noise = &FulgorCore::Engine::GetWorkData()->noise;
    step.forceStrength = 60.0f;
    for (float& s : step.noiseScale)
        s = 1.0f;
    // On lattice points the gradient noise is 0 in every component.
    FieldPoint still = LivePoint(1.0f);
    still.velocity[0] = 0.25f;
    Field::ApplyNoiseForce(still, step);
    EXPECT_EQ(still.velocity[0], 0.25f);
    EXPECT_EQ(still.velocity[1], 0.0f);
    EXPECT_EQ(still.velocity[2], 0.0f);
    // Between lattice points it pushes.
    FieldPoint moved = LivePoint(1.0f);
    moved.position[0] = 0.3f;
    moved.position[1] = 0.6f;
    moved.position[2] = 0.45f;
    Field::ApplyNoiseForce(moved, step);
    const float v = moved.velocity[0] * moved.velocity[0] + moved.velocity[1] * moved.velocity[1] +
                    moved.velocity[2] * moved.velocity[2];
    // Strength 60 per 60 frames: a unit push, within the fast root's error.
    EXPECT_NEAR(v, 1.0f, 0.01f);
}

TEST(FieldForces, KindOneIsTheNoiseForceKindTwoTheCurlFlowAnyOtherNone) {
    const Field::Rule rules[] = {Field::KeepAlive, Field::ApplyNoiseForce, Field::ApplyCurlFlow,
                                 Field::KeepAlive, Field::KeepAlive};
    for (uint32_t kind = 0; kind < 5; ++kind)
        EXPECT_EQ(Field::SelectForce(kind), rules[kind]) << kind;
}

TEST(FieldForces, TheCurlFlowReplacesTheVelocityByTheMidpointCurl) {
    FieldPoint p = LivePoint(1.0f);
    const float at[3] = {1.0f, -2.5f, 4.0f};
    for (int i = 0; i < 3; ++i) {
        p.position[i] = at[i];
        p.velocity[i] = 9.0f;
    }
    Field::ApplyCurlFlow(p, Field::StepContext{});
    // The curl at 0.2 of the position, then again half a 1/60 step on
    // along it, per frame.
    const FulgorCore::CurlNoise& field = FulgorCore::CurlNoise::Field();
    float q[3] = {at[0] * 0.2f, at[1] * 0.2f, at[2] * 0.2f};
    float c1[3], c2[3];
    field.EvaluateCurl(c1, q);
    for (int i = 0; i < 3; ++i)
        q[i] += c1[i] / 120.0f;
    field.EvaluateCurl(c2, q);
    for (int i = 0; i < 3; ++i)
        EXPECT_FLOAT_EQ(p.velocity[i], c2[i] / 60.0f) << i;
    EXPECT_NE(p.velocity[0], 9.0f);
}

TEST(StripHistory, TheFifteenthRecordOpensABlockInFront) {
    DrawUnitRig rig(DrawEffect({FieldPart({{"CrCt", 1}})}));
    ASSERT_TRUE(rig.ok);
    FulgorCore::ParticleInstance* owner = rig.MakeOwner();
    FulgorCore::UnitInstancePool& pool = FulgorCore::Engine::GetUnitInstancePool();
    FulgorCore::StripHistory history;
    history.pointSource = FulgorCore::StripHistory::kRecordedHistory;
    history.current = static_cast<FulgorCore::StripHistoryBlock*>(pool.Allocate());
    history.current->count = 13;
    history.current->older = nullptr;
    FulgorCore::StripHistoryBlock* full = history.current;
    FulgorCore::DrawUnitOps ops;
    const auto chain = [&] { history.ChainHistoryBlock(owner, ops, 0, UINT32_MAX); };
    chain();
    EXPECT_EQ(history.current, full);
    full->count = 14;
    chain();
    ASSERT_NE(history.current, full);
    EXPECT_EQ(history.current->count, 0u);
    EXPECT_EQ(history.current->older, full);
    // A point source other than the history chains nothing.
    FulgorCore::StripHistoryBlock* newest = history.current;
    newest->count = 14;
    history.pointSource = 1;
    chain();
    EXPECT_EQ(history.current, newest);
    // An empty pool ends the particle; the strip keeps its full block.
    history.pointSource = FulgorCore::StripHistory::kRecordedHistory;
    std::vector<void*> taken;
    while (void* b = pool.Allocate())
        taken.push_back(b);
    chain();
    EXPECT_EQ(history.current, newest);
    EXPECT_EQ(owner->alive, 0);
    for (void* b : taken)
        pool.Free(b);
    history.Release();
}

} // namespace
