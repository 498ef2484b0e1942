// The texture-coordinate transforms of a draw unit's sets and the trail's
// start values.
#include "support/effects/DrawUnitRig.h"

#include "effects/Core/Resource/DrawDataType12.h"
#include "effects/drawunits/DrawUnitRenderBlock.h"
#include "effects/drawunits/TrailStartValues.h"
#include "effects/drawunits/UvTransformKernels.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using effecttools::Constant;
using effecttools::DrawPartValue;
using effecttools::UvTransformValue;
using FulgorCore::DrawUnit;
using testsupport::DrawEffect;
using testsupport::DrawUnitRig;
using testsupport::KernelUnit;
namespace Kernel = FulgorCore::ParticleKernel;

UvTransformValue UvSet(float su, float sv, float ou, float ov, float angle,
                       uint32_t coordinate = 0) {
    UvTransformValue v;
    v.coordinateType = coordinate;
    v.scale = effecttools::PairValue{0, Constant(su), Constant(sv)};
    v.scroll = effecttools::PairValue{0, Constant(ou), Constant(ov)};
    v.rotation = Constant(angle);
    return v;
}

DrawPartValue UvPart(std::vector<UvTransformValue> sets) {
    DrawPartValue part;
    part.data = effecttools::DrawDataType5Value{};
    part.fields = {{"UvSC", static_cast<uint32_t>(sets.size())}};
    part.uvLayers = std::move(sets);
    return part;
}

struct Rows {
    float m[8];
};

Rows TwoMasks(KernelUnit* unit, uint8_t pivot, uint8_t offsetFirst) {
    Rows r{};
    Kernel::EvaluateUvTransformsTwoMasks<1>(unit, r.m, {}, pivot, offsetFirst);
    return r;
}

class UvKernels : public testsupport::DrawUnitFixture<> {
protected:
    KernelUnit* Unit(DrawUnitRig& rig, uint32_t part = 0) {
        return Keep(DrawUnit::Create<KernelUnit>(rig.MakeOwner(), rig.Part(part)));
    }
};

TEST_F(UvKernels, IdentityValuesGiveIdentityRowsAndTheQuadCorners) {
    DrawUnitRig& rig =
        Start(DrawEffect({UvPart({UvSet(1, 1, 0, 0, 0)}), UvPart({UvSet(1, 1, 0, 0, 0, 1)})}));
    ASSERT_TRUE(rig.ok);
    KernelUnit* unit = Unit(rig);
    const float identity[8] = {1, 0, 0, 0, 0, 1, 0, 0};
    for (uint8_t pivot = 0; pivot < 2; ++pivot)
        for (uint8_t first = 0; first < 2; ++first) {
            const Rows r = TwoMasks(unit, pivot, first);
            for (int i = 0; i < 8; ++i)
                EXPECT_FLOAT_EQ(r.m[i], identity[i]) << int(pivot) << int(first) << " " << i;
        }
    float corners[8];
    Kernel::EvaluateUvTransformsSplit<1>(unit, corners, {});
    const float mapped[8] = {0, 0, 1, 0, 0, 1, 1, 1};
    for (int i = 0; i < 8; ++i)
        EXPECT_NEAR(corners[i], mapped[i], 1e-6f) << i;
    // Flag bit 0 clear: the offset at every corner.
    Kernel::EvaluateUvTransformsSplit<1>(Unit(rig, 1), corners, {});
    for (float c : corners)
        EXPECT_EQ(c, 0.0f);
}

TEST_F(UvKernels, ScaleAndOffsetThroughTheFourBuilders) {
    DrawUnitRig& rig = Start(DrawEffect({UvPart({UvSet(2, 3, 0.25f, 0.125f, 0)})}));
    ASSERT_TRUE(rig.ok);
    KernelUnit* unit = Unit(rig);
    const Rows build = TwoMasks(unit, 0, 0);
    const float expected[8] = {2, 0, 0, 0.25f, 0, 3, 0, 0.125f};
    for (int i = 0; i < 8; ++i)
        EXPECT_FLOAT_EQ(build.m[i], expected[i]) << i;
    struct Case {
        uint8_t pivot, first;
        float tu, tv;
    };
    // Build, offset first, centred, centred offset first.
    const Case cases[] = {{0, 0, 0.25f, 0.125f},
                          {0, 1, 0.5f, 0.375f},
                          {1, 0, -0.25f, -0.875f},
                          {1, 1, 0.0f, -0.625f}};
    for (const Case& c : cases) {
        const Rows r = TwoMasks(unit, c.pivot, c.first);
        EXPECT_FLOAT_EQ(r.m[3], c.tu) << int(c.pivot) << int(c.first);
        EXPECT_FLOAT_EQ(r.m[7], c.tv) << int(c.pivot) << int(c.first);
    }
    // The one-mask family: bit i of the offset-first mask alone.
    float m[8];
    Kernel::EvaluateUvTransforms<1>(unit, m, {}, 1);
    EXPECT_FLOAT_EQ(m[3], 0.5f);
    EXPECT_FLOAT_EQ(m[7], 0.375f);
    Kernel::EvaluateUvTransforms<1>(unit, m, {}, 0);
    EXPECT_FLOAT_EQ(m[3], 0.25f);
}

TEST_F(UvKernels, AQuarterTurnAboutTheCentre) {
    DrawUnitRig& rig = Start(DrawEffect({UvPart({UvSet(1, 1, 0, 0, 1.5707963267948966f)})}));
    ASSERT_TRUE(rig.ok);
    const Rows r = TwoMasks(Unit(rig), 1, 0);
    const float expected[8] = {0, -1, 0, 1, 1, 0, 0, 0};
    for (int i = 0; i < 8; ++i)
        EXPECT_NEAR(r.m[i], expected[i], 1e-6f) << i;
}

template <uint32_t N> void ExpectExactly8N(KernelUnit* unit) {
    float out[8 * 6 + 1];
    for (float& f : out)
        f = -99.0f;
    Kernel::EvaluateUvTransforms<N>(unit, out, {}, 0);
    for (uint32_t i = 0; i < 8 * N; ++i)
        EXPECT_NE(out[i], -99.0f) << N << " " << i;
    EXPECT_EQ(out[8 * N], -99.0f) << N;
    for (float& f : out)
        f = -99.0f;
    Kernel::EvaluateUvTransformsTwoMasks<N>(unit, out, {}, 0x3F, 0);
    EXPECT_EQ(out[8 * N], -99.0f) << N;
    Kernel::EvaluateUvTransformsSplit<N>(unit, out, {});
    EXPECT_EQ(out[8 * N], -99.0f) << N;
}

TEST_F(UvKernels, NSetsWriteExactlyEightNFloats) {
    std::vector<UvTransformValue> sets(6, UvSet(1, 1, 0.5f, 0.5f, 0));
    DrawUnitRig& rig = Start(DrawEffect({UvPart(sets)}));
    ASSERT_TRUE(rig.ok);
    KernelUnit* unit = Unit(rig);
    ExpectExactly8N<1>(unit);
    ExpectExactly8N<2>(unit);
    ExpectExactly8N<3>(unit);
    ExpectExactly8N<4>(unit);
    ExpectExactly8N<5>(unit);
    ExpectExactly8N<6>(unit);
}

// Fault: sets past the declared count keep zero random values and draw
// nothing.
TEST_F(UvKernels, SetsPastTheDeclaredCountAreZeroAndDrawNothing) {
    effecttools::ConstantValue random;
    random.value = 1.0f;
    random.randomStart = 0.0f;
    random.randomEnd = 1.0f;
    UvTransformValue set = UvSet(1, 1, 0, 0, 0);
    set.rotation = random;
    DrawUnitRig& rig = Start(DrawEffect({UvPart({set, set})}));
    ASSERT_TRUE(rig.ok);
    FulgorCore::Xorshift128 copy = rig.root->random;
    float expected[2][5] = {};
    rig.Part()->GetUvLayer(0)->SampleRandom(copy, expected[0]);
    rig.Part()->GetUvLayer(1)->SampleRandom(copy, expected[1]);
    // The unit's block is a recycled one: fill a block with garbage first.
    void* recycled = FulgorCore::Engine::GetUnitInstancePool().Allocate();
    std::memset(recycled, 0xCD, FulgorCore::kUnitBlockSize);
    FulgorCore::Engine::GetUnitInstancePool().Free(recycled);
    KernelUnit* unit = Unit(rig);
    EXPECT_EQ(unit->renderBlock->uvRandomValues[0][4], expected[0][4]);
    EXPECT_EQ(unit->renderBlock->uvRandomValues[1][4], expected[1][4]);
    EXPECT_EQ(unit->randomState->w, copy.w);
    for (uint32_t s = 2; s < 6; ++s)
        for (float v : unit->renderBlock->uvRandomValues[s])
            EXPECT_EQ(v, 0.0f) << s;
}

// Every property draws: a random range on each float and colour channel.
effecttools::FloatValue Drawn() {
    effecttools::ConstantValue c;
    c.value = 1.0f;
    c.randomStart = 0.0f;
    c.randomEnd = 2.0f;
    return c;
}

DrawPartValue TrailPart(bool midKey, bool centreLine) {
    effecttools::DrawDataType12Value trail;
    trail.fields = {{"bCPE", midKey ? 1u : 0u}, {"bECE", centreLine ? 1u : 0u}};
    for (const char* tag : {"Wid", "WidH", "WidC", "WidT", "Dist"})
        trail.floats[tag] = Drawn();
    for (const char* tag : {"ColH", "ColC", "ColT", "CoEH", "CoEC", "CoET"}) {
        effecttools::ColorValue c;
        c.brightness = c.red = c.green = c.blue = c.alpha = Drawn();
        trail.colors[tag] = c;
    }
    DrawPartValue part;
    part.data = trail;
    return part;
}

// The words drawn, in the order drawn, each a float or the first of five.
struct Draw {
    uint32_t word;
    uint32_t count;
};

class TrailValues : public UvKernels {
protected:
    // Runs the sampler on a block of garbage and checks every word against
    // the draws made in `order` on a copy of the state (0 elsewhere).
    template <uint32_t Lead> void Check(DrawUnitRig& rig, uint32_t part, std::vector<Draw> order) {
        using T = FulgorCore::DrawDataType12;
        KernelUnit* unit = Unit(rig, part);
        const T& trail = *rig.Part(part)->GetDrawDataType12();
        FulgorCore::Xorshift128 copy = *unit->randomState;
        float expected[35] = {};
        for (const Draw& d : order) {
            if (d.count == 1) {
                const T::Float f = d.word == 0   ? T::kDist
                                   : d.word == 1 ? T::kWid
                                   : d.word == 2 ? T::kWidH
                                   : d.word == 3 ? T::kWidC
                                                 : T::kWidT;
                expected[d.word] = trail.GetFloat(f).SampleRandom(copy);
            } else {
                const T::Color colors[] = {T::kColH, T::kColC, T::kColT,
                                           T::kCoEH, T::kCoEC, T::kCoET};
                trail.GetColor(colors[(d.word - 5) / 5]).SampleRandom(copy, expected + d.word);
            }
        }
        float block[36];
        std::memset(block, 0xCD, sizeof(block));
        Kernel::SampleTrailStartValues<Lead>(unit, block);
        if (Lead == 1) {
            EXPECT_NE(block[0], 0.0f); // the word ahead is not the area's
        }
        for (uint32_t i = 0; i < 35; ++i)
            EXPECT_EQ(block[Lead + i], expected[i]) << "word " << i;
        EXPECT_EQ(unit->randomState->w, copy.w);
    }
};

TEST_F(TrailValues, DrawOrderByFlagsAndTheWordsLeftOutCleared) {
    DrawUnitRig& rig = Start(DrawEffect({TrailPart(false, false), TrailPart(false, true),
                                         TrailPart(true, true), TrailPart(true, false)}));
    ASSERT_TRUE(rig.ok);
    const std::vector<Draw> base = {{0, 1}, {1, 1}, {2, 1}, {4, 1}, {5, 5}, {15, 5}};
    Check<0>(rig, 0, base);
    std::vector<Draw> centre = base;
    centre.insert(centre.end(), {{20, 5}, {30, 5}});
    Check<0>(rig, 1, centre);
    std::vector<Draw> both = base;
    both.insert(both.end(), {{10, 5}, {3, 1}, {20, 5}, {30, 5}, {25, 5}});
    Check<0>(rig, 2, both);
    Check<1>(rig, 2, both);
    std::vector<Draw> mid = base;
    mid.insert(mid.end(), {{10, 5}, {3, 1}});
    Check<1>(rig, 3, mid);
}

} // namespace
