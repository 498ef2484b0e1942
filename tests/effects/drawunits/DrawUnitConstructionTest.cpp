// What a draw unit's construction decides from its data: the members of
// its render block and the values they read, the order of its random
// draws, the polygon offset by the data's bias, the small draw types'
// fields, and the order its blocks go back in.
#include "support/effects/DrawUnitRig.h"
#include "support/effects/RibbonBuildValues.h"
#include "support/effects/XorshiftSteps.h"

#include "effects/Core/Resource/TextureSlotProperty.h"
#include "effects/drawunits/AxisTrailDrawUnit.h"
#include "effects/drawunits/TrailDrawUnitBase.h"
#include "effects/drawunits/DrawCommand.h"
#include "effects/drawunits/DrawUnitFactory.h"
#include "effects/drawunits/DrawUnitRenderBlock.h"
#include "effects/drawunits/DrawUnitType1.h"
#include "effects/drawunits/DrawUnitType11.h"
#include "effects/drawunits/DrawUnitType2.h"
#include "effects/drawunits/DrawUnitType3.h"
#include "effects/drawunits/DrawUnitType4.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

namespace Fx = FulgorCore;
using effecttools::Constant;
using effecttools::DrawPartValue;
using effecttools::FloatValue;
using Fx::DrawUnit;
using testsupport::DrawEffect;
using testsupport::ConstantColour;
using testsupport::DrawUnitRig;
using testsupport::KernelUnit;

const char* const kLayerTags[8] = {"TCo1", "TCo2", "TCo3", "TDs1", "TDs2", "TPlt", "TNrm", "TRef"};

// A value that moves with time and takes a random start in [0, range).
FloatValue Drawn(float range) {
    effecttools::LoopValue l;
    l.velocity = 1.0f;
    l.maximum = 100.0f;
    l.randomStart = 0.0f;
    l.randomEnd = range;
    return l;
}

effecttools::ColorValue DrawnColour() {
    effecttools::ColorValue c;
    c.red = Drawn(1.0f);
    c.green = Drawn(2.0f);
    c.blue = Drawn(3.0f);
    c.alpha = Drawn(4.0f);
    c.brightness = Drawn(5.0f);
    return c;
}

effecttools::TextureLayerValue Layer(FloatValue index, std::optional<FloatValue> value) {
    effecttools::TextureLayerValue l;
    l.fields = {{"bEbl", 1}};
    l.list = std::vector<int8_t>{0, 1, 2, 3};
    l.number = index;
    l.extra = value;
    return l;
}

// A part of the given draw data with slots `slots` in use, slot k's value
// 0.1 (k - 2) on slots 3-7.
template <class Data> DrawPartValue PartOf(uint32_t slots = 0) {
    DrawPartValue part;
    part.data = Data{};
    for (uint32_t k = 0; k < 8; ++k)
        if (slots & (1u << k))
            part.textureLayers[kLayerTags[k]] =
                Layer(Constant(0), k >= 3 ? std::optional<FloatValue>(
                                                Constant(0.1f * static_cast<float>(k - 2)))
                                          : std::nullopt);
    return part;
}

// Every property on and drawing: size, colour, both alpha terms, all
// eight texture slots (index and value) and two texture-coordinate sets.
DrawPartValue EverythingDrawn() {
    DrawPartValue part = PartOf<effecttools::DrawDataType5Value>();
    part.fields = {{"bPDs", 1}, {"bPDc", 1}, {"bPAo", 1}, {"bPAt", 1}, {"UvSC", 2}};
    part.drawSize = effecttools::TripleValue{0, Drawn(2.0f), Drawn(3.0f), Drawn(4.0f)};
    part.drawColor = DrawnColour();
    part.aOff = Drawn(6.0f);
    part.aTes = Drawn(7.0f);
    for (uint32_t k = 0; k < 8; ++k)
        part.textureLayers[kLayerTags[k]] =
            Layer(Drawn(8.0f + k), k >= 3 ? std::optional<FloatValue>(Drawn(20.0f + k))
                                          : std::nullopt);
    for (uint32_t i = 0; i < 2; ++i)
        part.uvLayers.push_back({0u, 1u, std::nullopt, std::nullopt, Drawn(30.0f + i)});
    return part;
}

class DrawUnitConstruction : public testsupport::DrawUnitFixture<> {
protected:
    KernelUnit* Unit(DrawUnitRig& rig, uint32_t part, Fx::ParticleInstance* owner = nullptr) {
        return Keep(DrawUnit::Create<KernelUnit>(owner ? owner : rig.MakeOwner(), rig.Part(part)));
    }
    testsupport::RecordingRenderer renderer;
};

TEST_F(DrawUnitConstruction, TheBaseChoosesItsMembersAndDrawsInOrder) {
    DrawPartValue off = PartOf<effecttools::DrawDataType3Value>();
    DrawPartValue aOffBand = off;
    aOffBand.fields = {{"bPAo", 1}};
    aOffBand.aOff = Constant(-1.0f);
    DrawPartValue aOffModel = aOffBand;
    aOffModel.data = effecttools::DrawDataType5Value{};
    DrawUnitRig& rig = Start(DrawEffect({off, aOffBand, aOffModel,
                                         PartOf<effecttools::DrawDataType5Value>(1u << 4),
                                         PartOf<effecttools::DrawDataType5Value>(0xC0),
                                         PartOf<effecttools::DrawDataType13Value>(0xC0),
                                         EverythingDrawn()}));
    ASSERT_TRUE(rig.ok);
    const Fx::DrawClock clock = testsupport::FrameClock(1.0f, 3.0f);
    // Sentinels that show which floats a kernel wrote.
    const auto Block = [] { return std::vector<float>(8, -7.0f); };
    const auto Record = [] { return std::vector<uint8_t>{0xAA, 0xAA, 0xAA, 0xAA}; };
    struct Row {
        std::string name;
        std::function<void()> check;
    };
    const std::vector<Row> rows = {
        {"one free block: no render block, owner ended, no material, nothing drawn",
         [&] {
             Fx::UnitInstancePool& pool = Fx::Engine::GetUnitInstancePool();
             Fx::ParticleInstance* owner = rig.MakeOwner();
             std::vector<void*> taken;
             while (void* b = pool.Allocate())
                 taken.push_back(b);
             const Fx::Xorshift128 before = rig.root->random;
             for (int unit = 0; unit < 2; ++unit) {
                 pool.Free(taken.back());
                 taken.pop_back();
                 KernelUnit* u = Unit(rig, 6, owner);
                 ASSERT_NE(u, nullptr);
                 EXPECT_EQ(u->renderBlock, nullptr);
                 for (const Fx::TextureSlot& slot : u->textureBindings) {
                     EXPECT_EQ(slot.texture, nullptr);
                     EXPECT_EQ(slot.sampler, 0u);
                 }
             }
             EXPECT_EQ(owner->alive, 0);
             EXPECT_TRUE(testsupport::Same(rig.root->random, before));
             for (void* b : taken)
                 pool.Free(b);
         }},
        {"everything off: matrix copied, vector kept, colour passed, getters 0",
         [&] {
             KernelUnit* u = Unit(rig, 0);
             const float in[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
             float out[12] = {};
             u->renderBlock->scaleMatrix(u, out, in, clock);
             EXPECT_EQ(std::vector<float>(out, out + 12), std::vector<float>(in, in + 12));
             float v[3] = {2, 3, 4};
             u->renderBlock->scaleVector(u, v, clock);
             EXPECT_EQ(std::vector<float>(v, v + 3), (std::vector<float>{2, 3, 4}));
             const float colour[4] = {0.5f, 0.25f, 0.125f, 0.75f};
             float c[4] = {};
             u->renderBlock->modulateColour(u, c, colour, clock);
             EXPECT_EQ(std::vector<float>(c, c + 4), std::vector<float>(colour, colour + 4));
             EXPECT_EQ(u->renderBlock->aOffGetter(u, clock), 0.0f);
             EXPECT_EQ(u->renderBlock->aTesGetter(u, clock), 0.0f);
         }},
        {"constant alpha offset -1: 0 on a band, -1 on a model",
         [&] {
             KernelUnit* band = Unit(rig, 1);
             EXPECT_EQ(band->renderBlock->aOffGetter(band, clock), 0.0f);
             KernelUnit* model = Unit(rig, 2);
             EXPECT_EQ(model->renderBlock->aOffGetter(model, clock), -1.0f);
         }},
        {"slot 4 alone: no byte, value into element 1",
         [&] {
             KernelUnit* u = Unit(rig, 3);
             std::vector<uint8_t> record = Record();
             u->renderBlock->textureByteKernel(u, clock, record.data());
             EXPECT_EQ(record, Record());
             std::vector<float> block = Block();
             u->renderBlock->textureValueKernel(u, clock, block.data());
             std::vector<float> expected = Block();
             expected[1] = 0.2f;
             EXPECT_EQ(block, expected);
         }},
        {"slots 6 and 7 on types 5 and 13: no byte, values into elements 4 and 3",
         [&] {
             for (uint32_t part : {4u, 5u}) {
                 KernelUnit* u = Unit(rig, part);
                 std::vector<uint8_t> record = Record();
                 u->renderBlock->textureByteKernel(u, clock, record.data());
                 EXPECT_EQ(record, Record()) << part;
                 std::vector<float> block = Block();
                 u->renderBlock->textureValueKernel(u, clock, block.data());
                 std::vector<float> expected = Block();
                 expected[4] = 0.4f;
                 expected[3] = 0.5f;
                 EXPECT_EQ(block, expected) << part;
             }
         }},
        {"every property on: size, colour, offset, threshold, slots, sets",
         [&] {
             const Fx::ParticleResource& data = *rig.Part(6);
             Fx::ParticleInstance* owner = rig.MakeOwner();
             Fx::Xorshift128 reference = rig.root->random;
             float size[3], colour[5], uv[2][Fx::UvTransform::kSamples];
             data.GetDrawSize().SampleRandom(reference, size);
             data.GetDrawColor().SampleRandom(reference, colour);
             const float aOff = data.GetAOff().SampleRandom(reference);
             const float aTes = data.GetATes().SampleRandom(reference);
             std::vector<float> slots;
             for (uint32_t k = 0; k < 8; ++k) {
                 const Fx::TextureSlotProperty slot(data, k);
                 slots.push_back(slot.GetSelector().SampleRandom(reference));
                 if (k >= 3)
                     slots.push_back(slot.GetParameter()->SampleRandom(reference));
             }
             for (uint32_t i = 0; i < 2; ++i)
                 data.GetUvLayer(i)->SampleRandom(reference, uv[i]);
             KernelUnit* u = Unit(rig, 6, owner);
             const Fx::DrawUnitRenderBlock& b = *u->renderBlock;
             EXPECT_EQ(std::vector<float>(b.sizeSamples, b.sizeSamples + 3),
                       std::vector<float>(size, size + 3));
             EXPECT_EQ(std::vector<float>(b.colorSamples, b.colorSamples + 5),
                       std::vector<float>(colour, colour + 5));
             EXPECT_EQ(b.aOffSample, aOff);
             EXPECT_EQ(b.aTesSample, aTes);
             EXPECT_EQ(std::vector<float>(b.textureRandomValues, b.textureRandomValues + 13),
                       slots);
             for (uint32_t i = 0; i < 2; ++i)
                 EXPECT_EQ(std::vector<float>(b.uvRandomValues[i],
                                              b.uvRandomValues[i] + Fx::UvTransform::kSamples),
                           std::vector<float>(uv[i], uv[i] + Fx::UvTransform::kSamples));
             EXPECT_TRUE(testsupport::Same(rig.root->random, reference));
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        row.check();
    }
}

// The size and colour members with the stated numbers.
TEST_F(DrawUnitConstruction, SizeAndColourMembersScaleAndTint) {
    DrawPartValue size = PartOf<effecttools::DrawDataType3Value>();
    size.fields = {{"bPDs", 1}};
    size.drawSize = effecttools::TripleValue{0, Constant(2.0f), Constant(3.0f), Constant(4.0f)};
    DrawPartValue animated = size;
    effecttools::EasingValue grow;
    grow.type = 1;
    grow.timeLength = 10.0f;
    grow.startValue = 2.0f;
    grow.endValue = 20.0f;
    animated.drawSize = effecttools::TripleValue{0, grow, Constant(3.0f), Constant(4.0f)};
    DrawPartValue tinted = PartOf<effecttools::DrawDataType3Value>();
    tinted.fields = {{"ApLD", 50}, {"ApLE", 100}, {"bPDc", 1}};
    tinted.drawColor = ConstantColour(1.0f, 0.5f, 1.0f, 1.0f);
    DrawPartValue half = tinted;
    half.fields = {{"ApLD", 50}, {"ApLE", 0}, {"bPDc", 1}};
    DrawUnitRig& rig = Start(DrawEffect({size, animated, tinted, half}));
    ASSERT_TRUE(rig.ok);
    const float in[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 5, 6, 7};
    const std::vector<float> scaled = {2, 0, 0, 0, 3, 0, 0, 0, 4, 5, 6, 7};
    for (uint32_t part : {0u, 1u}) {
        KernelUnit* u = Unit(rig, part);
        float out[12] = {};
        // The easing starts at 2.
        u->renderBlock->scaleMatrix(u, out, in, testsupport::FrameClock(1.0f, 0.0f));
        EXPECT_EQ(std::vector<float>(out, out + 12), scaled) << part;
        float v[3] = {1, 1, 1};
        u->renderBlock->scaleVector(u, v, testsupport::FrameClock(1.0f, 0.0f));
        EXPECT_EQ(std::vector<float>(v, v + 3), (std::vector<float>{2, 3, 4})) << part;
        // Only the animated size follows the clock; the constant one was
        // written once.
        u->renderBlock->scaleMatrix(u, out, in, testsupport::FrameClock(1.0f, 10.0f));
        EXPECT_EQ(out[0], part == 0 ? 2.0f : 20.0f) << part;
    }
    const float multiply[4] = {0.5f, 0.5f, 0.5f, 1.0f};
    const float add[4] = {0.2f, 0.0f, 0.0f, 0.0f};
    std::copy_n(multiply, 4, rig.root->lightResultA);
    std::copy_n(add, 4, rig.root->lightResultB);
    const float white[4] = {1, 1, 1, 0.5f};
    float c[4];
    KernelUnit* tint = Unit(rig, 2);
    tint->renderBlock->modulateColour(tint, c, white, {});
    EXPECT_NEAR(c[0], 0.95f, 1e-6f);
    EXPECT_NEAR(c[1], 0.5f * 0.75f, 1e-6f);
    EXPECT_NEAR(c[2], 0.75f, 1e-6f);
    EXPECT_EQ(c[3], 0.5f);
    KernelUnit* one = Unit(rig, 3);
    one->renderBlock->modulateColour(one, c, white, {});
    EXPECT_EQ(std::vector<float>(c, c + 4), (std::vector<float>{1.0f, 0.5f, 1.0f, 0.5f}));
}

TEST_F(DrawUnitConstruction, TheBiasModeChoosesThePolygonOffset) {
    struct Row {
        const char* name;
        float scale;
        int biasTest;
        uint32_t mode;
        float offset;
    };
    const Row rows[] = {{"scale 1", 1.0f, 0, 1, 0.5f},
                        {"scale 1, bias test: the owner's largest scale", 1.0f, 1, 2, 1.5f},
                        {"scale 0.1: the camera distance", 0.1f, 0, 3, 2.05f},
                        {"scale 0.1, bias test: both", 0.1f, 1, 4, 6.15f}};
    std::vector<DrawPartValue> parts;
    DrawPartValue zero = PartOf<effecttools::DrawDataType3Value>();
    zero.bias = 0.0f;
    zero.biasScale = 0.1f;
    zero.fields = {{"bDBT", 1}};
    parts.push_back(zero);
    for (const Row& row : rows) {
        DrawPartValue p = PartOf<effecttools::DrawDataType3Value>();
        p.bias = 0.5f;
        p.biasScale = row.scale;
        p.fields = {{"bDBT", static_cast<uint32_t>(row.biasTest)}};
        parts.push_back(p);
    }
    DrawUnitRig& rig = Start(DrawEffect(parts));
    ASSERT_TRUE(rig.ok);
    rig.root->rootParameter = 0.0f;
    EXPECT_EQ(rig.Part(0)->GetBiasMode(), 0u);
    testsupport::OwnerPose pose;
    pose.matrix[9] = 40.0f;
    pose.scale[1] = 3.0f;
    pose.scale[2] = 2.0f;
    for (uint32_t i = 0; i < 4; ++i) {
        const Row& row = rows[i];
        EXPECT_EQ(rig.Part(i + 1)->GetBiasMode(), row.mode) << row.name;
        KernelUnit* u = Unit(rig, i + 1, rig.MakeOwner(pose));
        EXPECT_NEAR(u->GetPolygonOffset(), row.offset, 1e-4f) << row.name;
    }
}

effecttools::DrawDataType4Value Field(uint32_t mode, uint32_t count, int16_t multiplier) {
    effecttools::DrawDataType4Value field;
    field.fields = {{"DTyp", mode}, {"CrCt", count}, {"Life", 1000}};
    field.bpCt = multiplier;
    return field;
}

TEST_F(DrawUnitConstruction, TheSmallTypesTakeTheirFieldsFromTheData) {
    effecttools::DrawDataType4Value quads = Field(2, 5, 3);
    quads.fields.insert(quads.fields.end(), {{"bOPT", 1}, {"bScL", 1}, {"bOBD", 1}});
    quads.colorTimes = {{"CoF1", 0}, {"CoF2", 10}, {"CoF3", 10}, {"CoF4", 30}};
    effecttools::DrawDataType4Value lines = Field(0, 5, 3);
    lines.fields.push_back({"bOBD", 1});
    effecttools::DrawDataType11Value clear, set;
    clear.fields = {{"bTxF", 0}, {"bRXY", 1}, {"bRZ", 0}};
    set.fields = {{"bTxF", 1}, {"bRXY", 0}, {"bRZ", 1}};
    effecttools::DrawDataType12Value trail;
    trail.fields = {{"TDT", 4}, {"PtCn", 9}, {"PtIv", 255}, {"bLHE", 1}};
    DrawPartValue quadPart, linePart, clearPart, setPart, trailPart;
    quadPart.data = quads;
    linePart.data = lines;
    clearPart.data = clear;
    setPart.data = set;
    trailPart.data = trail;
    for (DrawPartValue* p : {&clearPart, &setPart})
        p->textureLayers["TCo1"] = Layer(Constant(0), std::nullopt);
    DrawUnitRig& rig = Start(DrawEffect({quadPart, linePart, clearPart, setPart, trailPart}));
    ASSERT_TRUE(rig.ok);
    const auto Make = [&](uint32_t part) {
        bool noBlock = true;
        DrawUnit* unit = Fx::CreateDrawUnit(rig.MakeOwner(), rig.Part(part), noBlock);
        EXPECT_FALSE(noBlock);
        return Keep(unit);
    };
    auto* q = dynamic_cast<Fx::DrawUnitType4*>(Make(0));
    ASSERT_NE(q, nullptr);
    // Quad preparer 7: own space + 2 square + 4 without the owner's
    // rotation; the quads' submitter.
    using Fx::DrawUnitType4;
    const Fx::DrawRenderer& builtIn = Fx::DrawRenderer::kBuiltIn;
    EXPECT_EQ(builtIn.prepare[q->prepareIndex],
              (&DrawUnitType4::PrepareVertices<DrawUnitType4::kQuads, 7>));
    EXPECT_TRUE(q->quads);
    EXPECT_EQ(q->pointCount, 15u);
    EXPECT_EQ(std::vector<float>(q->keySpans, q->keySpans + 3), (std::vector<float>{10, 0, 20}));
    auto* l = dynamic_cast<Fx::DrawUnitType4*>(Make(1));
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(builtIn.prepare[l->prepareIndex],
              (&DrawUnitType4::PrepareVertices<DrawUnitType4::kLines, 0>));
    EXPECT_FALSE(l->quads);
    for (uint32_t part : {2u, 3u}) {
        auto* f = dynamic_cast<Fx::DrawUnitType11*>(Make(part));
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->textureBindings[0].texture, nullptr) << part;
        EXPECT_EQ(f->textureBindings[0].sampler & 0x3Fu, part == 3 ? 1u : 0u) << part;
        EXPECT_EQ(f->textureBindings[0].sampler & ~0x3Fu,
                  rig.Part(part)->GetTextureSlot(0)->sampler & ~0x3Fu)
            << part;
        EXPECT_EQ(f->orientationFlags, part == 2 ? 1u : 2u) << part;
        EXPECT_EQ(f->frameIndex, 0u);
        EXPECT_EQ(f->frameTime, 0.0f);
    }
    const Fx::TrailDrawUnitBase::Values v = Fx::TrailDrawUnitBase::ReadValues(*rig.Part(4));
    EXPECT_EQ(v.subKind, 4u);
    EXPECT_EQ(v.pointCount, 9u);
    EXPECT_EQ(v.interval, 255.0f);
    EXPECT_TRUE(v.localSpace);
}

// Fault: a sample interval of 0 would have the history take points for
// ever within one frame; the trail takes one an update.
TEST_F(DrawUnitConstruction, ATrailIntervalOfZeroIsOne) {
    effecttools::DrawDataType12Value trail;
    trail.fields = {{"TDT", 1}, {"PtCn", 4}};
    DrawPartValue part;
    part.data = trail;
    DrawUnitRig& rig = Start(DrawEffect({part}));
    ASSERT_TRUE(rig.ok);
    Fx::TrailDrawUnitBase::Values v = Fx::TrailDrawUnitBase::ReadValues(*rig.Part());
    v.interval = 0.0f;
    auto* unit = Keep(DrawUnit::Create<Fx::AxisTrailDrawUnit<1>>(rig.MakeOwner(), rig.Part(), v));
    ASSERT_NE(unit, nullptr);
    EXPECT_EQ(unit->interval, 1.0f);
    for (int frame = 0; frame < 3; ++frame) {
        unit->Update(testsupport::FrameClock(1.0f, static_cast<float>(frame)));
        Fx::Engine::GetFrameWorkMemory().Flip();
    }
    EXPECT_LE(unit->accumulator, 1.0f);
}

// Fault: mode 3 and a multiplier of 0 have no preparer and no items; the
// unit is still built, draws nothing, and takes the base's draws so the
// units after it draw what they would.
TEST_F(DrawUnitConstruction, ARefusedFieldDrawsNothingYetTakesItsDraws) {
    std::vector<DrawPartValue> parts;
    for (effecttools::DrawDataType4Value field : {Field(3, 4, 2), Field(0, 4, 0)}) {
        DrawPartValue p;
        p.data = field;
        p.fields = {{"bPAo", 1}};
        p.aOff = Drawn(5.0f);
        parts.push_back(p);
    }
    DrawUnitRig& rig = Start(DrawEffect(parts));
    ASSERT_TRUE(rig.ok);
    for (uint32_t i = 0; i < 2; ++i) {
        Fx::ParticleInstance* owner = rig.MakeOwner();
        Fx::Xorshift128 reference = rig.root->random;
        rig.Part(i)->GetAOff().SampleRandom(reference);
        bool noBlock = true;
        auto* unit = dynamic_cast<Fx::DrawUnitType4*>(
            Keep(Fx::CreateDrawUnit(owner, rig.Part(i), noBlock)));
        ASSERT_NE(unit, nullptr) << i;
        EXPECT_TRUE(testsupport::Same(rig.root->random, reference)) << i;
        EXPECT_EQ(unit->pointCount, 0u);
        renderer.Clear();
        unit->Update(testsupport::FrameClock());
        unit->Draw();
        EXPECT_TRUE(renderer.prepares.empty()) << i;
        EXPECT_EQ(renderer.lineSubmits + renderer.quadSubmits, 0) << i;
    }
}

// Fault: a grid without its record, without cells across or down or
// without frames per cell would divide by zero, and a geometry mode of 3
// has no geometry; each is still built, counts as any grid, draws nothing,
// and takes the draws of a well-formed grid, so a unit built after it
// draws what it would, and it gives back every block it took.
TEST_F(DrawUnitConstruction, AGridItCannotDrawIsBuiltDrawsNothingAndTakesItsDraws) {
    struct Row {
        const char* name;
        std::optional<std::vector<effecttools::FieldValue>> pattern; // none: no record
    };
    const Row rows[] = {
        {"well formed: four across, two down, three frames",
         {{{"DivU", 4}, {"DivV", 2}, {"AnmI", 3}}}},
        {"no pattern record", std::nullopt},
        {"no cells across", {{{"DivU", 0}, {"DivV", 2}, {"AnmI", 3}}}},
        {"no cells down", {{{"DivU", 4}, {"DivV", 0}, {"AnmI", 3}}}},
        {"no frames per cell", {{{"DivU", 4}, {"DivV", 2}, {"AnmI", 0}}}},
        {"geometry mode 3", {{{"UvT", 3}, {"DivU", 4}, {"DivV", 2}, {"AnmI", 3}}}},
    };
    constexpr uint32_t kRows = sizeof(rows) / sizeof(rows[0]);
    std::vector<DrawPartValue> parts;
    for (const Row& row : rows) {
        DrawPartValue p;
        p.drawType = 2;
        if (row.pattern)
            p.data = effecttools::DrawDataType2Value{*row.pattern};
        p.fields = {{"bPAo", 1}};
        p.aOff = Drawn(5.0f);
        parts.push_back(p);
    }
    // The unit built after each grid: a line whose alpha offset is drawn.
    DrawPartValue later = PartOf<effecttools::DrawDataType1Value>();
    later.fields = {{"bPAo", 1}};
    later.aOff = Drawn(9.0f);
    parts.push_back(later);
    DrawUnitRig& rig = Start(DrawEffect(parts));
    ASSERT_TRUE(rig.ok);
    Fx::UnitInstancePool& pool = Fx::Engine::GetUnitInstancePool();
    const Fx::Xorshift128 start = rig.root->random;
    float laterSample = 0.0f;
    for (uint32_t i = 0; i < kRows; ++i) {
        SCOPED_TRACE(rows[i].name);
        rig.root->random = start;
        Fx::ParticleInstance* owner = rig.MakeOwner();
        Fx::Xorshift128 reference = rig.root->random;
        rig.Part(i)->GetAOff().SampleRandom(reference);
        const uint32_t used = pool.GetUsedCount();
        bool noBlock = true;
        DrawUnit* built = Fx::CreateDrawUnit(owner, rig.Part(i), noBlock);
        auto* unit = dynamic_cast<Fx::DrawUnitType2*>(built);
        ASSERT_NE(unit, nullptr);
        EXPECT_FALSE(noBlock);
        EXPECT_TRUE(owner->alive);
        EXPECT_TRUE(testsupport::Same(rig.root->random, reference));
        // The unit and its render block.
        EXPECT_EQ(pool.GetUsedCount(), used + 2);
        auto* next = Keep(Fx::CreateDrawUnit(owner, rig.Part(kRows), noBlock));
        ASSERT_NE(next, nullptr);
        if (i == 0)
            laterSample = next->renderBlock->aOffSample;
        else
            EXPECT_EQ(next->renderBlock->aOffSample, laterSample);
        renderer.Clear();
        renderer.batchKind = 0;
        for (int frame = 0; frame < 4; ++frame) {
            unit->Update(testsupport::FrameClock(1.0f, static_cast<float>(frame)));
            unit->Draw();
        }
        const bool draws = i == 0;
        EXPECT_EQ(unit->geometry != nullptr, draws);
        EXPECT_EQ(renderer.reservations.size(), draws ? 4u : 0u);
        EXPECT_EQ(renderer.submits, draws ? 4 : 0);
        EXPECT_EQ(renderer.flushes, draws ? 1 : 0);
        EXPECT_EQ(renderer.batchKind, draws ? 1 : 0);
        const uint32_t withNext = pool.GetUsedCount();
        delete built;
        EXPECT_EQ(pool.GetUsedCount(), withNext - 2);
    }
}

TEST_F(DrawUnitConstruction, TeardownGivesBackExtraRenderAndOwnInThatOrder) {
    effecttools::DrawDataType2Value grid;
    grid.fields = {{"DivU", 1}, {"DivV", 1}, {"AnmI", 1}};
    DrawPartValue line, pattern, band, field, flipbook;
    line.data = effecttools::DrawDataType1Value{};
    pattern.data = grid;
    band.data = effecttools::DrawDataType3Value{};
    field.data = Field(0, 2, 1);
    flipbook.data = effecttools::DrawDataType11Value{};
    DrawUnitRig& rig = Start(DrawEffect({band, line, pattern, flipbook, field}));
    ASSERT_TRUE(rig.ok);
    Fx::UnitInstancePool& pool = Fx::Engine::GetUnitInstancePool();
    for (uint32_t part = 0; part < 5; ++part) {
        SCOPED_TRACE(part);
        bool noBlock = true;
        DrawUnit* unit = Fx::CreateDrawUnit(rig.MakeOwner(), rig.Part(part), noBlock);
        ASSERT_NE(unit, nullptr);
        std::vector<void*> blocks = {unit, unit->renderBlock};
        if (part == 0)
            blocks.push_back(static_cast<Fx::DrawUnitType3*>(unit)->extraBlock.Get());
        const uint32_t used = pool.GetUsedCount();
        delete unit;
        EXPECT_EQ(pool.GetUsedCount(), used - blocks.size());
        std::vector<void*> next;
        for (size_t i = 0; i < blocks.size(); ++i)
            next.push_back(pool.Allocate());
        EXPECT_EQ(next, blocks);
        for (auto it = next.rbegin(); it != next.rend(); ++it)
            pool.Free(*it);
    }
    // A band built on the last two blocks keeps no extra block, draws, and
    // gives back its render block and its own.
    Fx::ParticleInstance* owner = rig.MakeOwner();
    std::vector<void*> taken;
    while (void* b = pool.Allocate())
        taken.push_back(b);
    for (int i = 0; i < 2; ++i) {
        pool.Free(taken.back());
        taken.pop_back();
    }
    const uint32_t used = pool.GetUsedCount();
    bool noBlock = true;
    auto* lastBand = static_cast<Fx::DrawUnitType3*>(Fx::CreateDrawUnit(owner, rig.Part(0), noBlock));
    ASSERT_NE(lastBand, nullptr);
    EXPECT_NE(lastBand->renderBlock, nullptr);
    EXPECT_EQ(lastBand->extraBlock.Get(), nullptr);
    renderer.Clear();
    lastBand->Update(testsupport::FrameClock());
    lastBand->Draw();
    EXPECT_EQ(renderer.submits, 1);
    delete lastBand;
    EXPECT_EQ(pool.GetUsedCount(), used);
    for (void* b : taken)
        pool.Free(b);
}

// Deleting a job runs its destructor and frees nothing: commands live in
// their units and in frame memory.
TEST(DrawCommandTeardown, DeletingACommandFreesNothing) {
    alignas(Fx::DrawCommand) unsigned char room[sizeof(Fx::DrawCommand)];
    Fx::Job* job = new (room) Fx::DrawCommand(nullptr);
    delete job;
    SUCCEED();
}

} // namespace
