#include "effects/Core/Resource/ColorProperty.h"
#include "support/effects/RecordBuild.h"
#include "support/effects/XorshiftSteps.h"
#include "tools/effect/PropertyWriter.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using effecttools::ChunkWriter;
using effecttools::ColorValue;
using effecttools::Constant;
using effecttools::ConstantValue;
using effecttools::EasingValue;
using effecttools::GradientValue;
using effecttools::LoopValue;
using FulgorCore::ColorProperty;
using FulgorCore::EvaluationContext;
using FulgorCore::Xorshift128;
using Color = testsupport::RecordBuild<ColorProperty>;

std::vector<uint8_t> Bytes(const ColorValue& v) {
    ChunkWriter w;
    effecttools::WriteColorProperty(w, "Col", v);
    return testsupport::PayloadOf(w.Take());
}

struct Rgba {
    float c[4];
};

Rgba At(const Color& color, float a, float b, float sample = 0.0f) {
    const float samples[5] = {sample, sample, sample, sample, sample};
    Xorshift128 state;
    Rgba out{};
    color->Evaluate(EvaluationContext{a, b}, samples, state, out.c);
    return out;
}

void ExpectRgba(const Rgba& got, float r, float g, float b, float a) {
    EXPECT_FLOAT_EQ(got.c[0], r);
    EXPECT_FLOAT_EQ(got.c[1], g);
    EXPECT_FLOAT_EQ(got.c[2], b);
    EXPECT_FLOAT_EQ(got.c[3], a);
}

// Keys at times 0 and 10: black and transparent to white and opaque.
GradientValue Ramp(bool useTimeA, uint32_t pre, uint32_t post) {
    GradientValue g;
    g.keys = {{0, {0, 0, 0, 0}}, {10, {1, 1, 1, 1}}};
    g.useTimeA = useTimeA;
    g.preBehaviour = pre;
    g.postBehaviour = post;
    return g;
}

TEST(ColorPropertyTest, WhiteWithoutKeysAndEvaluatesNoChannelThatIsAlwaysOne) {
    Color white(Bytes(ColorValue{}));
    EXPECT_EQ(white->GetChannelFlags(), 0u);
    EXPECT_EQ(white->GetSummaryFlags(), ColorProperty::kConstant);
    // A channel evaluated would add the sample.
    ExpectRgba(At(white, 3, 4, 0.5f), 1, 1, 1, 1);
}

TEST(ColorPropertyTest, AChannelTheFileLeavesOutIsTheNeutralOne) {
    const struct {
        const char* name;
        std::optional<effecttools::FloatValue> ColorValue::*channel;
    } rows[] = {{"Brig", &ColorValue::brightness},
                {"Red", &ColorValue::red},
                {"Gree", &ColorValue::green},
                {"Blue", &ColorValue::blue},
                {"Alph", &ColorValue::alpha}};
    for (const auto& row : rows) {
        ColorValue v;
        v.gradient.keys = {{0, {0.5f, 0.25f, 0.75f, 0.5f}}};
        v.*row.channel = std::nullopt;
        Color c(Bytes(v));
        EXPECT_EQ(c->GetChannelFlags(), 0u) << row.name;
        EXPECT_EQ(c->GetSummaryFlags(), ColorProperty::kConstant) << row.name;
        ExpectRgba(At(c, 3, 4, 0.5f), 0.5f, 0.25f, 0.75f, 0.5f);
    }
}

TEST(ColorPropertyTest, ChannelsMultiplyTheGradientAndBrightnessTheColourOnly) {
    ColorValue v;
    v.gradient.keys = {{0, {0.5f, 0.5f, 0.5f, 0.5f}}};
    v.red = Constant(0.5f);
    v.alpha = Constant(0.25f);
    v.brightness = Constant(4.0f);
    Color c(Bytes(v));
    EXPECT_EQ(c->GetChannelFlags(),
              ColorProperty::kUsesBrightness | ColorProperty::kUsesRed | ColorProperty::kUsesAlpha);
    ExpectRgba(At(c, 0, 0), 0.5f * 0.5f * 4, 0.5f * 4, 0.5f * 4, 0.5f * 0.25f);
    // Each channel adds its sample: red 0.5 + 0.5, alpha 0.25 + 0.5,
    // brightness 4 + 0.5.
    ExpectRgba(At(c, 0, 0, 0.5f), 0.5f * 4.5f, 0.5f * 4.5f, 0.5f * 4.5f, 0.5f * 0.75f);
}

TEST(ColorPropertyTest, SummaryFlagsWantFewerThanTwoKeys) {
    ColorValue allChannels;
    allChannels.red = allChannels.green = allChannels.blue = allChannels.alpha = Constant(0.5f);
    Color c(Bytes(allChannels));
    EXPECT_EQ(c->GetSummaryFlags(), ColorProperty::kAllColorChannels | ColorProperty::kConstant);
    allChannels.gradient = Ramp(false, 0, 0);
    Color keyed(Bytes(allChannels));
    EXPECT_EQ(keyed->GetSummaryFlags(), 0u);
    ColorValue moving;
    moving.green = ConstantValue{1, 0, 1};
    Color m(Bytes(moving));
    EXPECT_EQ(m->GetSummaryFlags(), 0u);
    EXPECT_EQ(m->GetChannelFlags(), ColorProperty::kUsesGreen);
}

TEST(ColorPropertyTest, GradientsInterpolateOverTheChosenTime) {
    ColorValue onB;
    onB.gradient = Ramp(false, 0, 0);
    Color b(Bytes(onB));
    ExpectRgba(At(b, 0, 2.5f), 0.25f, 0.25f, 0.25f, 0.25f);
    ExpectRgba(At(b, 7.5f, -3), 0, 0, 0, 0);
    ExpectRgba(At(b, 0, 30), 1, 1, 1, 1);
    ColorValue onA;
    onA.gradient = Ramp(true, 0, 0);
    Color a(Bytes(onA));
    ExpectRgba(At(a, 7.5f, 1), 0.75f, 0.75f, 0.75f, 0.75f);
}

// "BPre" and "BPos": 1 repeats by the span, anything else clamps; each on
// its own side of the keys.
TEST(ColorPropertyTest, GradientsRepeatOrClampOnEachSide) {
    const struct {
        uint32_t pre, post;
        float time, grey;
    } rows[] = {{1, 1, 15, 0.5f}, {1, 1, 27.5f, 0.75f}, {1, 1, -2.5f, 0.75f}, {2, 2, 15, 1},
                {2, 2, -5, 0},    {1, 0, -2.5f, 0.75f}, {1, 0, 15, 1},        {0, 1, -2.5f, 0},
                {0, 1, 15, 0.5f}, {3, 1, -5, 0},        {1, 3, 15, 1}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.pre << " " << row.post << " at " << row.time);
        ColorValue v;
        v.gradient = Ramp(false, row.pre, row.post);
        ExpectRgba(At(Color(Bytes(v)), 0, row.time), row.grey, row.grey, row.grey, row.grey);
    }
}

TEST(ColorPropertyTest, RepeatingKeysThatSpanNoTimeClamp) {
    ColorValue v;
    v.gradient.keys = {{5, {0, 0, 0, 0}}, {5, {1, 1, 1, 1}}};
    v.gradient.preBehaviour = v.gradient.postBehaviour = 1;
    Color c(Bytes(v));
    ExpectRgba(At(c, 0, 0), 0, 0, 0, 0);
    ExpectRgba(At(c, 0, 9), 1, 1, 1, 1);
    v.gradient.keys = {{5, {0, 0, 0, 0}}, {-2147483647 - 1, {1, 1, 1, 1}}};
    Color backwards(Bytes(v));
    ExpectRgba(At(backwards, 0, 9), 1, 1, 1, 1);
}

TEST(ColorPropertyTest, OneKeyIsItsColourAndManyKeysAreSearched) {
    ColorValue one;
    one.gradient.keys = {{3, {0.1f, 0.2f, 0.3f, 0.4f}}};
    Color c(Bytes(one));
    ExpectRgba(At(c, 0, -100), 0.1f, 0.2f, 0.3f, 0.4f);
    ColorValue many;
    for (int i = 0; i <= 20; ++i) {
        const float f = static_cast<float>(i % 2);
        many.gradient.keys.push_back({i * 10, {f, 1 - f, f, 1}});
    }
    Color m(Bytes(many));
    ExpectRgba(At(m, 0, 125), 0.5f, 0.5f, 0.5f, 1);
    ExpectRgba(At(m, 0, 192.5f), 0.75f, 0.25f, 0.75f, 1);
}

TEST(ColorPropertyTest, SamplesComeOnePerChannel) {
    ColorValue v;
    v.red = ConstantValue{0, 0, 1};
    v.green = ConstantValue{0, 10, 11};
    v.blue = ConstantValue{0, 20, 21};
    v.alpha = ConstantValue{0, 30, 31};
    v.brightness = ConstantValue{0, 40, 41};
    Color c(Bytes(v));
    Xorshift128 state;
    float samples[5];
    c->SampleRandom(state, samples);
    for (int i = 0; i < 5; ++i) {
        EXPECT_GE(samples[i], 10.0f * i) << i;
        EXPECT_LT(samples[i], 10.0f * i + 1) << i;
    }
}

// Channels in sample order (red, green, blue, alpha, brightness); an easing
// draws through its record, the others through their copied range.
struct SampleRun {
    const char* name;
    std::optional<effecttools::FloatValue> channels[5];
    // Each drawn channel's range; none for an absent channel, which draws
    // nothing and samples 0.
    std::optional<std::pair<float, float>> ranges[5];
};

class ColorSampleRunTest : public ::testing::TestWithParam<SampleRun> {};

TEST_P(ColorSampleRunTest, DrawsInChannelOrderFromTheSharedState) {
    const SampleRun& run = GetParam();
    ColorValue v;
    v.red = run.channels[0];
    v.green = run.channels[1];
    v.blue = run.channels[2];
    v.alpha = run.channels[3];
    v.brightness = run.channels[4];
    Color c(Bytes(v));
    Xorshift128 state;
    state.Seed(77);
    Xorshift128 reference = state;
    float samples[5];
    c->SampleRandom(state, samples);
    uint32_t draws = 0;
    for (int i = 0; i < 5; ++i) {
        float expected = 0.0f;
        if (const auto& r = run.ranges[i]) {
            const uint32_t word = reference.Next();
            ++draws;
            // lo + (hi - lo) u, u from the low 23 bits of the step.
            const float u = static_cast<float>(word & 0x7FFFFFu) / 8388608.0f;
            expected = r->first + (r->second - r->first) * u;
        }
        EXPECT_FLOAT_EQ(samples[i], expected) << i;
    }
    Xorshift128 seeded;
    seeded.Seed(77);
    EXPECT_TRUE(testsupport::Same(state, testsupport::Advanced(seeded, draws)));
}

EasingValue Eased(float lo, float hi) {
    EasingValue e;
    e.endValue = 1.0f;
    e.timeLength = 10.0f;
    e.randomStart = lo;
    e.randomEnd = hi;
    return e;
}

LoopValue Looped(float lo, float hi) {
    LoopValue l;
    l.velocity = 1.0f;
    l.maximum = 10.0f;
    l.randomStart = lo;
    l.randomEnd = hi;
    return l;
}

using Range = std::pair<float, float>;
INSTANTIATE_TEST_SUITE_P(
    Runs, ColorSampleRunTest,
    ::testing::Values(
        SampleRun{"ConstantsAndLoops",
                  {ConstantValue{0, 2, 3}, Looped(5, 9), ConstantValue{1, -4, -2}, Looped(0, 1),
                   ConstantValue{0, 20, 21}},
                  {Range{2, 3}, Range{5, 9}, Range{-4, -2}, Range{0, 1}, Range{20, 21}}},
        SampleRun{"EasingBetweenRanges",
                  {ConstantValue{0, 2, 3}, Eased(5, 7), Looped(10, 12), std::nullopt,
                   ConstantValue{0, 20, 21}},
                  {Range{2, 3}, Range{5, 7}, Range{10, 12}, std::nullopt, Range{20, 21}}},
        SampleRun{"EasingsFirstAndLastAbsentBetween",
                  {Eased(1, 2), std::nullopt, std::nullopt, ConstantValue{0, 3, 4}, Eased(6, 8)},
                  {Range{1, 2}, std::nullopt, std::nullopt, Range{3, 4}, Range{6, 8}}},
        SampleRun{
            "EmptyRangesStillDraw",
            {ConstantValue{0.5f, 0, 0}, Looped(0, 0), std::nullopt, std::nullopt, std::nullopt},
            {Range{0, 0}, Range{0, 0}, std::nullopt, std::nullopt, std::nullopt}}),
    [](const ::testing::TestParamInfo<SampleRun>& info) { return info.param.name; });

} // namespace
