#include "effects/Core/Value/FloatProperty.h"
#include "effects/Core/Value/ValueConstant.h"
#include "effects/Core/Value/ValueCurve.h"
#include "effects/Core/Value/ValueEasing.h"
#include "effects/Core/Value/ValueLoop.h"
#include "support/effects/RecordBuild.h"
#include "tools/effect/ValueWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace {

using effecttools::ChunkWriter;
using effecttools::ConstantValue;
using effecttools::CurveKeyValue;
using effecttools::CurvesValue;
using effecttools::CurveValue;
using effecttools::EasingValue;
using effecttools::FloatValue;
using effecttools::LoopValue;
using FulgorCore::EvaluationContext;
using FulgorCore::FloatProperty;
using FulgorCore::Xorshift128;
using testsupport::PayloadOf;
using Property = testsupport::RecordBuild<FloatProperty>;

std::vector<uint8_t> Group(const FloatValue& value) {
    ChunkWriter w;
    effecttools::WriteFloatProperty(w, "Prop", value);
    return PayloadOf(w.Take());
}

float At(const Property& p, float a, float b, float sample = 0.0f) {
    Xorshift128 state;
    return p->Evaluate(EvaluationContext{a, b}, sample, state);
}

float AtB(const Property& p, float b, float sample = 0.0f) {
    return At(p, 0.0f, b, sample);
}

EasingValue Easing(uint8_t type, uint32_t pre, uint32_t post, float offset, float length,
                   float start, float end) {
    EasingValue e;
    e.type = type;
    e.preMode = pre;
    e.postMode = post;
    e.timeOffset = offset;
    e.timeLength = length;
    e.startValue = start;
    e.endValue = end;
    return e;
}

CurvesValue Curve(std::vector<CurveKeyValue> keys, uint32_t pre = 0, uint32_t post = 0) {
    CurvesValue c;
    c.value.keys = std::move(keys);
    c.value.preBehaviour = pre;
    c.value.postBehaviour = post;
    return c;
}

// Keys 0 -> 1 (stored as 0 and 100), linear, values 2 and 6.
CurvesValue UnitRamp(uint32_t pre = 0, uint32_t post = 0) {
    return Curve({{1, 0.0f, 2.0f, 0, 0}, {1, 1.0f, 6.0f, 0, 0}}, pre, post);
}

TEST(FloatPropertyTest, AConstantGivesItsValuePlusTheSampleAndIsFlaggedConstant) {
    Property p(Group(ConstantValue{2.0f, 0.0f, 0.0f}));
    ASSERT_TRUE(p.Built());
    EXPECT_EQ(p->GetKind(), FloatProperty::kConstant);
    EXPECT_FLOAT_EQ(AtB(p, 7.0f), 2.0f);
    EXPECT_FLOAT_EQ(AtB(p, 7.0f, 0.25f), 2.25f);
    EXPECT_EQ(p->GetFlags(), 4u);
    EXPECT_FALSE(p->IsZero());
    EXPECT_FALSE(p->IsOne());
    EXPECT_TRUE(p->IsConstant());

    Property one(Group(ConstantValue{1.0f, 0.0f, 0.0f}));
    EXPECT_EQ(one->GetFlags(), 2u | 4u);
    Property zero(Group(ConstantValue{0.0f, 0.0f, 0.0f}));
    EXPECT_EQ(zero->GetFlags(), 1u | 4u);
    // Equal random ends keep it constant but not exactly the value.
    Property offset(Group(ConstantValue{1.0f, 0.5f, 0.5f}));
    EXPECT_EQ(offset->GetFlags(), 4u);
    Property random(Group(ConstantValue{0.0f, -1.0f, 1.0f}));
    EXPECT_EQ(random->GetFlags(), 0u);
}

TEST(FloatPropertyTest, SamplesAreOneStepOfTheStateOverTheRandomRange) {
    Property p(Group(ConstantValue{0.0f, 2.0f, 4.0f}));
    Xorshift128 state;
    state.Seed(99);
    Xorshift128 expected = state;
    const uint32_t w = expected.Next();
    const uint32_t bits = 0x3F800000u | (w & 0x7FFFFFu);
    float u;
    std::memcpy(&u, &bits, 4);
    EXPECT_FLOAT_EQ(p->SampleRandom(state), 2.0f + 2.0f * (u - 1.0f));
    EXPECT_EQ(state.w, expected.w);
    EXPECT_EQ(state.x, expected.x);
}

// An easing (over time A) or curve (over time B) value at one time, with
// the sample the evaluation adds.
struct SpanRow {
    const char* name;
    FloatValue value;
    float time;
    float sample;
    float expected;
};

// Easings: modes 0 clamp, 1 repeat, 2 carry on, 3 offset, past the table
// clamp; curves: 0 clamp, 1 repeat, 2 repeat with offset. Pre and post
// act each on its own side.
const SpanRow kSpanRows[] = {
    {"clamped easing before its span: the start, no sample", Easing(0, 0, 0, 10, 20, 3, 7), 5, 0.5f,
     3},
    {"clamped easing after its span: the end, no sample", Easing(0, 0, 0, 10, 20, 3, 7), 35, 0.5f,
     7},
    {"clamped easing inside adds the sample", Easing(0, 0, 0, 10, 20, 3, 7), 20, 0.5f, 5.5f},
    {"clamped easing at its end adds the sample", Easing(0, 0, 0, 10, 20, 3, 7), 30, 0.5f, 7.5f},
    {"offset easing after", Easing(0, 3, 3, 0, 4, 0, 1), 10, 0, 2.5f},
    {"offset easing before", Easing(0, 3, 3, 0, 4, 0, 1), -6, 0, -1.5f},
    {"repeating easing after", Easing(0, 1, 1, 0, 4, 0, 1), 10, 0, 0.5f},
    {"repeating easing before", Easing(0, 1, 1, 0, 4, 0, 1), -6, 0, 0.5f},
    {"repeating easing with a sample", Easing(0, 1, 1, 0, 4, 0, 1), 10, 0.25f, 0.75f},
    {"quadratic carried on after", Easing(1, 2, 2, 0, 4, 0, 1), 8, 0, 4},
    {"quadratic carried on before", Easing(1, 2, 2, 0, 4, 0, 1), -4, 0, 1},
    {"offset before, repeat after: before", Easing(0, 3, 1, 0, 4, 0, 1), -6, 0, -1.5f},
    {"offset before, repeat after: after", Easing(0, 3, 1, 0, 4, 0, 1), 10, 0, 0.5f},
    {"repeat before, offset after: before", Easing(0, 1, 3, 0, 4, 0, 1), -6, 0, 0.5f},
    {"repeat before, offset after: after", Easing(0, 1, 3, 0, 4, 0, 1), 10, 0, 2.5f},
    {"quadratic carried on before, clamped after: before", Easing(1, 2, 0, 0, 4, 0, 1), -4, 0, 1},
    {"quadratic carried on before, clamped after: after", Easing(1, 2, 0, 0, 4, 0, 1), 8, 0, 1},
    {"quadratic clamped before, carried on after: before", Easing(1, 0, 2, 0, 4, 0, 1), -4, 0, 0},
    {"quadratic clamped before, carried on after: after", Easing(1, 0, 2, 0, 4, 0, 1), 8, 0, 4},
    {"type past the table is linear", Easing(30, 5, 7, 0, 2, 1, 3), 0.5f, 0, 1.5f},
    {"modes past the table clamp before", Easing(30, 5, 7, 0, 2, 1, 3), -3, 0.5f, 1},
    {"modes past the table clamp after", Easing(30, 5, 7, 0, 2, 1, 3), 9, 0.5f, 3},
    {"mode 12 keeps its low bits, 4: clamp", Easing(0, 12, 6, 0, 2, 1, 3), -1, 0.5f, 1},
    {"mode 6 clamps after", Easing(0, 12, 6, 0, 2, 1, 3), 5, 0.5f, 3},
    {"clamped curve at its first key", UnitRamp(), 0, 0, 2},
    {"clamped curve between", UnitRamp(), 0.25f, 0, 3},
    {"clamped curve at its last key", UnitRamp(), 1, 0, 6},
    {"clamped curve after", UnitRamp(), 5, 0, 6},
    {"clamped curve before", UnitRamp(), -5, 0, 2},
    {"repeating curve after", UnitRamp(1, 1), 1.5f, 0, 4},
    {"repeating curve before", UnitRamp(1, 1), -0.75f, 0, 3},
    {"repeating curve at its first key: the last value", UnitRamp(1, 1), 0, 0, 6},
    {"offset curve at its first key: the first value", UnitRamp(2, 2), 0, 0, 2},
    {"offset curve after", UnitRamp(2, 2), 1.5f, 0, 8},
    {"offset curve before", UnitRamp(2, 2), -0.75f, 0, -1},
    {"offset before, clamped after: before", UnitRamp(2, 0), -0.75f, 0, -1},
    {"offset before, clamped after: after", UnitRamp(2, 0), 1.5f, 0, 6},
    {"clamped before, offset after: before", UnitRamp(0, 2), -0.75f, 0, 2},
    {"clamped before, offset after: after", UnitRamp(0, 2), 1.5f, 0, 8},
    {"repeat before, offset after: before", UnitRamp(1, 2), -0.75f, 0, 3},
    {"repeat before, offset after: after", UnitRamp(1, 2), 1.5f, 0, 8},
    {"offset before, repeat after: before", UnitRamp(2, 1), -0.75f, 0, -1},
    {"offset before, repeat after: after", UnitRamp(2, 1), 1.5f, 0, 4},
};

TEST(FloatPropertyTest, EasingsAndCurvesBeforeInAndAfterTheirSpan) {
    for (const SpanRow& row : kSpanRows) {
        Property p(Group(row.value));
        const bool easing = std::holds_alternative<EasingValue>(row.value);
        EXPECT_FLOAT_EQ(easing ? At(p, row.time, 0, row.sample) : AtB(p, row.time, row.sample),
                        row.expected)
            << row.name;
    }
    Property easing(Group(Easing(30, 5, 7, 0, 2, 1, 3)));
    EXPECT_EQ(easing->GetKind(), FloatProperty::kEasing);
    EXPECT_EQ(easing->GetFlags(), 0u);
    EXPECT_EQ(easing->GetEasing()->GetEasingType(), 0u);
    EXPECT_EQ(easing->GetEasing()->GetPreMode(), 0u);
    EXPECT_EQ(easing->GetEasing()->GetPostMode(), 0u);
    Property curve(Group(UnitRamp()));
    EXPECT_EQ(curve->GetKind(), FloatProperty::kCurve);
    EXPECT_EQ(curve->GetValueCurve()->GetKey(1)->GetTime(), 100);
}

TEST(FloatPropertyTest, AnEasingOfNoLengthClampsAtItsOffset) {
    for (uint32_t mode = 0; mode < 4; ++mode) {
        Property p(Group(Easing(5, mode, mode, 10.0f, 0.0f, 1.0f, 3.0f)));
        EXPECT_FLOAT_EQ(At(p, 9.0f, 0, 0.5f), 1.0f) << mode;
        EXPECT_FLOAT_EQ(At(p, 10.0f, 0, 0.5f), 3.0f) << mode;
        EXPECT_FLOAT_EQ(At(p, 1e9f, 0, 0.5f), 3.0f) << mode;
        EXPECT_FLOAT_EQ(At(p, -1e9f, 0, 0.5f), 1.0f) << mode;
    }
}

TEST(FloatPropertyTest, LoopsWrapIntoTheirRange) {
    Property p(Group(LoopValue{0.5f, 1.0f, 0.0f, 1.0f, 0.0f, 0.0f}));
    EXPECT_EQ(p->GetKind(), FloatProperty::kLoop);
    EXPECT_FLOAT_EQ(AtB(p, 0.0f), 0.5f);
    EXPECT_FLOAT_EQ(AtB(p, 1.0f), 0.5f);
    EXPECT_FLOAT_EQ(AtB(p, 0.75f), 0.25f);
    EXPECT_FLOAT_EQ(AtB(p, -0.75f), 0.75f);
    EXPECT_FLOAT_EQ(AtB(p, 0.0f, 0.25f), 0.75f);
    EXPECT_EQ(p->GetFlags(), 0u);
    // Exactly one range below the minimum gives the maximum.
    Property whole(Group(LoopValue{0.0f, 1.0f, 0.0f, 1.0f, 0.0f, 0.0f}));
    EXPECT_FLOAT_EQ(AtB(whole, -1.0f), 1.0f);
    // The minimum itself stays the minimum.
    EXPECT_FLOAT_EQ(AtB(whole, 0.0f), 0.0f);
    EXPECT_FLOAT_EQ(AtB(whole, 2.0f), 0.0f);
}

TEST(FloatPropertyTest, ANarrowLoopCollapsesToItsMinimum) {
    Property p(Group(LoopValue{0.5f, 1.0f, 0.0f, 0.00005f, 0.1f, 0.2f}));
    EXPECT_FLOAT_EQ(AtB(p, 0.3f, 0.7f), 0.0f);
    EXPECT_TRUE(p->IsZero());
    EXPECT_TRUE(p->IsConstant());
    EXPECT_FALSE(p->GetLoop()->IsMoving());
    EXPECT_FLOAT_EQ(p->GetLoop()->GetMaximum(), 0.0f);
    // A slow loop does not move: its value is the minimum.
    Property still(Group(LoopValue{0.5f, 0.00001f, 0.25f, 1.0f, 0.0f, 0.0f}));
    EXPECT_FLOAT_EQ(AtB(still, 100.0f, 0.5f), 0.25f);
}

TEST(FloatPropertyTest, HermiteSegmentsUseTheFourBasisFunctions) {
    Property p(Group(Curve({{0, 0.0f, 1.0f, 2.0f, -1.0f}, {0, 1.0f, 3.0f, 0.0f, 0.0f}})));
    const float s = 0.25f;
    const float h00 = 2 * s * s * s - 3 * s * s + 1;
    const float h01 = 3 * s * s - 2 * s * s * s;
    const float h10 = s * s * s - 2 * s * s + s;
    const float h11 = s * s * s - s * s;
    EXPECT_FLOAT_EQ(AtB(p, 0.25f), h00 * 1.0f + h01 * 3.0f + h10 * 2.0f + h11 * -1.0f);
    EXPECT_FLOAT_EQ(AtB(p, 0.25f), 1.640625f);
}

TEST(FloatPropertyTest, StepSegmentsKeepTheirValueUntilTheNextKey) {
    Property p(Group(Curve({{2, 0.0f, 5.0f, 0, 0}, {2, 1.0f, 6.0f, 0, 0}, {2, 2.0f, 7.0f, 0, 0}})));
    EXPECT_TRUE(p->GetValueCurve()->UsesBinarySearch());
    EXPECT_FLOAT_EQ(AtB(p, 0.5f), 5.0f);
    EXPECT_FLOAT_EQ(AtB(p, 0.995f), 5.0f);
    EXPECT_FLOAT_EQ(AtB(p, 1.0f), 6.0f);
    EXPECT_FLOAT_EQ(AtB(p, 1.995f), 6.0f);
    EXPECT_FLOAT_EQ(AtB(p, 2.0f), 7.0f);
}

TEST(FloatPropertyTest, TheSearchFindsTheSegmentAmongManyKeys) {
    std::vector<CurveKeyValue> keys;
    for (int i = 0; i < 50; ++i)
        keys.push_back({1, static_cast<float>(i), static_cast<float>(i * i), 0, 0});
    Property p(Group(Curve(keys)));
    for (int i = 0; i < 49; ++i) {
        const float x = static_cast<float>(i) + 0.5f;
        EXPECT_NEAR(AtB(p, x), (i * i + (i + 1) * (i + 1)) * 0.5f, 1e-3f) << i;
    }
}

TEST(FloatPropertyTest, KeyListsAreCutAtTheirCountField) {
    std::vector<CurveKeyValue> keys;
    for (int i = 0; i < 4096; ++i)
        keys.push_back({1, static_cast<float>(i), static_cast<float>(i), 0, 0});
    Property p(Group(Curve(keys)));
    ASSERT_TRUE(p.Built());
    EXPECT_EQ(p->GetValueCurve()->GetKeyCount(), 4095u);
    EXPECT_FLOAT_EQ(AtB(p, 5000.0f), 4094.0f);
    EXPECT_EQ(p.measured, 32u + 4095u * 16u);

    // A size that is not a multiple of 20 ignores the remainder.
    std::vector<uint8_t> bytes = effecttools::CurveKeyBytes({{1, 0, 1, 0, 0}, {1, 1, 3, 0, 0}});
    bytes.resize(bytes.size() + 7, 0xEE);
    ChunkWriter w;
    w.Begin("Prop").U8("PrVT", 2).Begin("FCuV").Bytes("Key", bytes.data(), bytes.size()).End();
    w.End();
    Property cut(PayloadOf(w.Take()));
    EXPECT_EQ(cut->GetValueCurve()->GetKeyCount(), 2u);
    EXPECT_FLOAT_EQ(AtB(cut, 0.5f), 2.0f);
}

TEST(FloatPropertyTest, KeyTimesAreHeldToTwentyNineBits) {
    Property p(Group(Curve({{1, -1e7f, 0, 0, 0}, {1, 1e7f, 1, 0, 0}})));
    EXPECT_EQ(p->GetValueCurve()->GetKey(0)->GetTime(), -(1 << 28));
    EXPECT_EQ(p->GetValueCurve()->GetKey(1)->GetTime(), (1 << 28) - 1);
    // NaN truncates to the most negative integer, held to the lowest time.
    Property nan(Group(Curve({{1, std::numeric_limits<float>::quiet_NaN(), 0, 0, 0}})));
    EXPECT_EQ(nan->GetValueCurve()->GetKey(0)->GetKind(), 1);
    EXPECT_EQ(nan->GetValueCurve()->GetKey(0)->GetTime(), -(1 << 28));
}

TEST(FloatPropertyTest, RandomCurvesActByTheirType) {
    // c = 0.5 everywhere (a one-key random curve), L = 2.
    const float c = 0.5f;
    const float L = 2.0f;
    for (uint32_t type = 0; type < 8; ++type) {
        CurvesValue v = Curve({{1, 0.0f, L, 0, 0}});
        v.random.randomType = type;
        v.random.keys = {{1, 0.0f, c, 0, 0}};
        Property p(Group(v));
        Xorshift128 state;
        state.Seed(7);
        Xorshift128 copy = state;
        const float u = copy.NextFloat01();
        const float sample = 0.75f;
        const float value = p->Evaluate(EvaluationContext{0, 3.0f}, sample, state);
        const float expected[8] = {L + c * sample,       L + c * sample, L + c * sample,
                                   L + (-c + 2 * c * u), L + c * u,      L + (c * u - c),
                                   L * (1 + c * sample), L * (1 + c * u)};
        EXPECT_FLOAT_EQ(value, expected[type]) << type;
        const bool draws = type == 3 || type == 4 || type == 5 || type == 7;
        EXPECT_EQ(state.w == copy.w, draws) << type;
    }
}

TEST(FloatPropertyTest, RandomCurveSamplesComeFromTheirTypesRange) {
    const float lows[8] = {-1, 0, -1, 0, 0, 0, 0, 0};
    const float highs[8] = {1, 1, 0, 0, 0, 0, 1, 0};
    for (uint32_t type = 0; type < 8; ++type) {
        CurvesValue v = Curve({});
        v.random.randomType = type;
        v.random.keys = {{1, 0.0f, 1.0f, 0, 0}};
        Property p(Group(v));
        Xorshift128 state;
        Xorshift128 copy = state;
        const float sample = p->SampleRandom(state);
        if (lows[type] == highs[type]) {
            EXPECT_EQ(sample, 0.0f) << type;
            EXPECT_EQ(state.w, copy.w) << type;
        } else {
            EXPECT_FLOAT_EQ(sample, lows[type] + (highs[type] - lows[type]) * copy.NextFloat01())
                << type;
        }
    }
}

TEST(FloatPropertyTest, OneStepPerEvaluationForTypeFourAndNoneForTypeZero) {
    for (uint32_t type : {0u, 4u}) {
        CurvesValue v = UnitRamp();
        v.random.randomType = type;
        v.random.keys = {{1, 0.0f, 1.0f, 0, 0}, {1, 2.0f, 3.0f, 0, 0}};
        Property p(Group(v));
        Xorshift128 state;
        Xorshift128 reference;
        for (int i = 0; i < 3; ++i) {
            p->Evaluate(EvaluationContext{0, 0.5f}, 0.1f, state);
            if (type == 4)
                reference.Next();
        }
        EXPECT_EQ(state.w, reference.w) << type;
        EXPECT_EQ(state.z, reference.z) << type;
    }
}

TEST(FloatPropertyTest, CurveValuesPastTheTablesReadAsTheirDefaults) {
    // Segment kind 5 is linear, random type 9 no random, behaviour 3 clamp.
    CurvesValue v = Curve({{5, 0.0f, 2.0f, 9, 9}, {5, 1.0f, 6.0f, 9, 9}}, 3, 7);
    v.random.randomType = 9;
    v.random.keys = {{1, 0.0f, 100.0f, 0, 0}};
    Property p(Group(v));
    EXPECT_EQ(p->GetValueCurve()->GetKey(1)->GetKind(), 1);
    EXPECT_EQ(p->GetRandomCurve()->GetRandomType(), -1);
    EXPECT_EQ(p->GetValueCurve()->GetPreBehaviour(), 0u);
    Xorshift128 state;
    Xorshift128 copy = state;
    EXPECT_FLOAT_EQ(p->Evaluate(EvaluationContext{0, 0.25f}, 0.5f, state), 3.0f);
    EXPECT_FLOAT_EQ(p->Evaluate(EvaluationContext{0, -2.0f}, 0.5f, state), 2.0f);
    EXPECT_FLOAT_EQ(p->Evaluate(EvaluationContext{0, 9.0f}, 0.5f, state), 6.0f);
    EXPECT_EQ(p->SampleRandom(state), 0.0f);
    EXPECT_EQ(state.w, copy.w);
}

TEST(FloatPropertyTest, RepeatingKeysThatSpanNoTimeClamp) {
    for (uint32_t behaviour : {1u, 2u}) {
        Property same(
            Group(Curve({{1, 1.0f, 2.0f, 0, 0}, {1, 1.0f, 6.0f, 0, 0}}, behaviour, behaviour)));
        EXPECT_FLOAT_EQ(AtB(same, 0.0f), 2.0f) << behaviour;
        EXPECT_FLOAT_EQ(AtB(same, 3.0f), 6.0f) << behaviour;
        Property backwards(
            Group(Curve({{1, 2.0f, 2.0f, 0, 0}, {1, 1.0f, 6.0f, 0, 0}}, behaviour, behaviour)));
        EXPECT_FLOAT_EQ(AtB(backwards, 0.0f), 2.0f) << behaviour;
        EXPECT_FLOAT_EQ(AtB(backwards, 3.0f), 6.0f) << behaviour;
    }
}

TEST(FloatPropertyTest, CurveFlagsFollowTheFlatnessOfBothCurves) {
    Property oneKey(Group(Curve({{1, 3.0f, 1.0f, 0, 0}})));
    EXPECT_EQ(oneKey->GetFlags(), 2u | 4u);
    Property empty(Group(Curve({})));
    EXPECT_EQ(empty->GetFlags(), 1u | 4u);
    EXPECT_FLOAT_EQ(AtB(empty, 3.0f), 0.0f);
    CurvesValue randomised = Curve({{1, 3.0f, 1.0f, 0, 0}});
    randomised.random.keys = {{1, 0.0f, 0.5f, 0, 0}};
    Property r(Group(randomised));
    EXPECT_EQ(r->GetFlags(), 0u);
    Property ramp(Group(UnitRamp()));
    EXPECT_EQ(ramp->GetFlags(), 0u);
}

TEST(FloatPropertyTest, EasingAndLoopFlags) {
    Property flatOne(Group(Easing(3, 1, 1, 0.0f, 5.0f, 1.0f, 1.0f)));
    EXPECT_EQ(flatOne->GetFlags(), 2u | 4u);
    Property flatZero(Group(LoopValue{0.0f, 0.0f, 0.0f, 1.0f, 0.3f, 0.3f}));
    EXPECT_EQ(flatZero->GetFlags(), 1u | 4u);
    Property collapsedOne(Group(LoopValue{5.0f, 3.0f, 1.0f, 1.0f, 0.0f, 2.0f}));
    EXPECT_EQ(collapsedOne->GetFlags(), 2u | 4u);
}

TEST(FloatPropertyTest, GroupsWithoutAUsableKindAreTheConstantZero) {
    std::vector<std::vector<uint8_t>> groups;
    ChunkWriter none;
    none.Begin("Prop").Begin("Cons").F32("CoVl", 5.0f).End().End();
    groups.push_back(PayloadOf(none.Take()));
    ChunkWriter late;
    late.Begin("Prop").Begin("Cons").F32("CoVl", 5.0f).End().U8("PrVT", 0).End();
    groups.push_back(PayloadOf(late.Take()));
    ChunkWriter wide;
    wide.Begin("Prop").U8("PrVT", 4).Begin("Cons").F32("CoVl", 5.0f).End().End();
    groups.push_back(PayloadOf(wide.Take()));
    ChunkWriter replaced;
    replaced.Begin("Prop").U8("PrVT", 0).Begin("Cons").F32("CoVl", 5.0f).End().U8("PrVT", 9);
    replaced.End();
    groups.push_back(PayloadOf(replaced.Take()));
    groups.push_back({});
    for (size_t i = 0; i < groups.size(); ++i) {
        Property p(groups[i]);
        ASSERT_TRUE(p.Built()) << i;
        EXPECT_EQ(p->GetKind(), FloatProperty::kNone) << i;
        EXPECT_EQ(p->GetFlags(), 1u | 4u) << i;
        Xorshift128 state;
        Xorshift128 copy = state;
        EXPECT_EQ(p->Evaluate(EvaluationContext{3, 4}, 0.5f, state), 0.0f) << i;
        EXPECT_EQ(p->SampleRandom(state), 0.0f) << i;
        EXPECT_EQ(state.w, copy.w) << i;
        EXPECT_EQ(p->GetConstant(), nullptr);
    }
}

TEST(FloatPropertyTest, AValueChunkOfAnotherKindIsSkipped) {
    ChunkWriter w;
    w.Begin("Prop").U8("PrVT", 2).Begin("Cons").F32("CoVl", 5.0f).End();
    w.Begin("Easi").F32("EaVS", 9.0f).End();
    w.Begin("FCuV").Bytes("Key", effecttools::CurveKeyBytes({{1, 0, 1.5f, 0, 0}}).data(), 20);
    w.End().End();
    Property p(PayloadOf(w.Take()));
    EXPECT_EQ(p->GetKind(), FloatProperty::kCurve);
    EXPECT_FLOAT_EQ(AtB(p, 3.0f), 1.5f);
}

TEST(FloatPropertyTest, TheMeasureCountsEachKindsRecordsAndKeys) {
    struct Case {
        FloatValue value;
        uint32_t bytes;
    };
    CurvesValue keyed = UnitRamp();
    keyed.value.keys.push_back({1, 2.0f, 1.0f, 0, 0});
    keyed.random.keys = {{1, 0, 1, 0, 0}};
    const Case cases[] = {
        {ConstantValue{1, 2, 3}, 16}, {Easing(1, 1, 1, 1, 1, 1, 2), 32}, {Curve({}), 32},
        {keyed, 32 + 48 + 16},        {LoopValue{1, 1, 0, 2, 0, 0}, 32},
    };
    for (const Case& c : cases) {
        Property p(Group(c.value));
        EXPECT_EQ(p.measured, c.bytes) << c.value.index();
        EXPECT_EQ(p.placed, p.measured) << c.value.index();
        EXPECT_FALSE(p.buildFailed);
    }
}

TEST(FloatPropertyTest, HelpersMultiplyByTheValue) {
    Property p(Group(ConstantValue{3.0f, 0, 0}));
    Xorshift128 state;
    float v = 2.0f;
    p->MultiplyValue(EvaluationContext{}, 0.5f, state, v);
    EXPECT_FLOAT_EQ(v, 7.0f);
    float vec[3] = {1, 2, -1};
    p->MultiplyVector3(EvaluationContext{}, 0.0f, state, vec);
    EXPECT_FLOAT_EQ(vec[0], 3);
    EXPECT_FLOAT_EQ(vec[1], 6);
    EXPECT_FLOAT_EQ(vec[2], -3);
}

TEST(FloatPropertyTest, PlainEvaluationUsesOneSharedStateAndNoSample) {
    CurvesValue v = UnitRamp();
    v.random.randomType = 4;
    v.random.keys = {{1, 0, 1, 0, 0}};
    Property p(Group(v));
    const float first = p->EvaluatePlain(EvaluationContext{0, 0.5f});
    const float second = p->EvaluatePlain(EvaluationContext{0, 0.5f});
    EXPECT_NE(first, second);
    EXPECT_GE(first, 4.0f);
    EXPECT_LT(first, 5.0f);
    Property constant(Group(ConstantValue{2, 0, 0}));
    EXPECT_EQ(constant->EvaluatePlain(EvaluationContext{}), 2.0f);
}

} // namespace
