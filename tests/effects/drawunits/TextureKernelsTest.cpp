// The mask-chosen texture kernels of the draw units: which slots each entry
// re-selects, how a selector picks its entry, and the slot parameters into
// the shader block and the vertex bytes.
#include "support/effects/DrawUnitRig.h"

#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Resource/TextureSlotProperty.h"
#include "effects/drawunits/AnimateTextureSlots.h"
#include "effects/drawunits/DrawUnitRenderBlock.h"
#include "effects/drawunits/TextureParameterKernels.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using effecttools::Constant;
using effecttools::DrawPartValue;
using effecttools::TextureLayerValue;
using FulgorCore::DrawUnit;
using testsupport::DrawEffect;
using testsupport::DrawUnitRig;
using testsupport::KernelUnit;

const char* const kLayerTags[8] = {"TCo1", "TCo2", "TCo3", "TDs1", "TDs2", "TPlt", "TNrm", "TRef"};

TextureLayerValue Layer(std::vector<int8_t> list, effecttools::FloatValue selector = Constant(0),
                        std::optional<effecttools::FloatValue> parameter = std::nullopt) {
    TextureLayerValue l;
    l.fields = {{"bEbl", 1}};
    l.list = std::move(list);
    l.number = selector;
    l.extra = parameter;
    return l;
}

// A model part (eight slots) whose slot k lists only texture k.
DrawPartValue EightSlotPart() {
    DrawPartValue part;
    part.data = effecttools::DrawDataType5Value{};
    for (int k = 0; k < 8; ++k)
        part.textureLayers[kLayerTags[k]] = Layer({static_cast<int8_t>(k)});
    return part;
}

// A billboard part (one slot) whose slot 0 is `layer`.
DrawPartValue OneSlotPart(TextureLayerValue layer) {
    DrawPartValue part;
    effecttools::DrawDataType2Value pattern;
    pattern.fields = {{"DivU", 1}, {"DivV", 1}, {"AnmI", 1}};
    part.data = pattern;
    part.textureLayers["TCo1"] = std::move(layer);
    return part;
}

FulgorCore::ITexture* Sentinel(uint32_t k) {
    return reinterpret_cast<FulgorCore::ITexture*>(static_cast<uintptr_t>(0x1000 + 16 * k));
}

// A selector of 8 + 8u, u drawn from the instance's state at each
// evaluation.
effecttools::FloatValue RandomPerEvaluation() {
    effecttools::CurvesValue c;
    c.value.keys = {{1, 0.0f, 8.0f, 0.0f, 0.0f}};
    c.random.randomType = 4;
    c.random.keys = {{1, 0.0f, 8.0f, 0.0f, 0.0f}};
    return c;
}

class TextureKernels : public testsupport::DrawUnitFixture<> {
protected:
    KernelUnit* Unit(DrawUnitRig& rig, uint32_t part = 0) {
        return Keep(DrawUnit::Create<KernelUnit>(rig.MakeOwner(), rig.Part(part)));
    }
};

TEST_F(TextureKernels, EachEntryRewritesExactlyTheSlotsOfItsMask) {
    DrawUnitRig& rig = Start(DrawEffect({EightSlotPart()}));
    ASSERT_TRUE(rig.ok);
    KernelUnit* unit = Unit(rig);
    ASSERT_NE(unit, nullptr);
    const FulgorCore::EvaluationContext context{};
    for (uint32_t m = 0; m < 256; ++m) {
        for (uint32_t k = 0; k < 8; ++k)
            unit->textureBindings[k] = {Sentinel(k), 0x40u + k};
        FulgorCore::ParticleKernel::kAnimateTextureSlots[m](unit, context);
        for (uint32_t k = 0; k < 8; ++k) {
            const bool inMask = (m >> k) & 1u;
            EXPECT_EQ(unit->textureBindings[k].texture,
                      inMask ? rig.Texture(static_cast<int32_t>(k)) : Sentinel(k))
                << "entry " << m << " slot " << k;
            EXPECT_EQ(unit->textureBindings[k].sampler, 0x40u + k);
        }
    }
    // 0x21: Color1 and Palette only.
    for (uint32_t k = 0; k < 8; ++k)
        unit->textureBindings[k].texture = Sentinel(k);
    FulgorCore::ParticleKernel::kAnimateTextureSlots[0x21](unit, context);
    EXPECT_EQ(unit->textureBindings[0].texture, rig.Texture(0));
    EXPECT_EQ(unit->textureBindings[5].texture, rig.Texture(5));
    for (uint32_t k : {1u, 2u, 3u, 4u, 6u, 7u})
        EXPECT_EQ(unit->textureBindings[k].texture, Sentinel(k));
}

TEST_F(TextureKernels, SlotsDrawingPerEvaluationAreEvaluatedInAscendingOrder) {
    DrawPartValue part = EightSlotPart();
    for (int k = 0; k < 8; ++k)
        part.textureLayers[kLayerTags[k]] = Layer({0, 1, 2, 3, 4, 5, 6, 7}, RandomPerEvaluation());
    DrawUnitRig& rig = Start(DrawEffect({part}));
    ASSERT_TRUE(rig.ok);
    KernelUnit* unit = Unit(rig);
    const FulgorCore::EvaluationContext context{};
    // The same evaluations made slot by slot, in ascending order, on a copy
    // of the state.
    FulgorCore::Xorshift128 copy = *unit->randomState;
    int32_t expected[8];
    for (uint32_t k = 0; k < 8; ++k)
        expected[k] =
            FulgorCore::TextureSlotProperty(*rig.Part(), k)
                .EvaluateTextureIndex(
                    context, unit->renderBlock->textureRandomValues[DrawUnit::SelectorSample(k)],
                    copy);
    FulgorCore::ParticleKernel::kAnimateTextureSlots[0xFF](unit, context);
    for (uint32_t k = 0; k < 8; ++k)
        EXPECT_EQ(unit->textureBindings[k].texture, rig.Texture(expected[k])) << "slot " << k;
    EXPECT_EQ(unit->randomState->w, copy.w);
}

TEST_F(TextureKernels, TheSelectorPicksItsTruncatedEntryModuloTheList) {
    // Entries 4-7 of the package, so entry i shows texture 4 + i.
    const float selectors[] = {5.7f, 3.999f, 4.0f};
    const int32_t entries[] = {1, 3, 0};
    std::vector<DrawPartValue> parts;
    for (float s : selectors)
        parts.push_back(OneSlotPart(Layer({4, 5, 6, 7}, Constant(s))));
    DrawUnitRig& rig = Start(DrawEffect(parts));
    ASSERT_TRUE(rig.ok);
    for (uint32_t i = 0; i < 3; ++i) {
        KernelUnit* unit = Unit(rig, i);
        FulgorCore::ParticleKernel::kAnimateTextureSlots[1](unit, {});
        EXPECT_EQ(unit->textureBindings[0].texture, rig.Texture(4 + entries[i]))
            << "selector " << selectors[i];
    }
}

TEST_F(TextureKernels, ListsOfOneNoneOrNoTextureAndTheReservedFlag) {
    TextureLayerValue reserved = Layer({2, 3}, Constant(1));
    reserved.fields.push_back({"bScC", 1});
    DrawUnitRig& rig =
        Start(DrawEffect({OneSlotPart(Layer({3}, RandomPerEvaluation())), OneSlotPart(Layer({})),
                          OneSlotPart(Layer({-1, 2}, Constant(0))), OneSlotPart(reserved)}));
    ASSERT_TRUE(rig.ok);
    FulgorCore::ITexture* const expected[] = {
        rig.Texture(3), nullptr, nullptr, FulgorCore::Engine::GetWorkData()->defaultTextures[0]};
    for (uint32_t i = 0; i < 4; ++i) {
        KernelUnit* unit = Unit(rig, i);
        unit->textureBindings[0].texture = Sentinel(0);
        const FulgorCore::Xorshift128 before = *unit->randomState;
        FulgorCore::ParticleKernel::kAnimateTextureSlots[1](unit, {});
        EXPECT_EQ(unit->textureBindings[0].texture, expected[i]) << "part " << i;
        // A list of one entry does not evaluate its selector.
        if (i == 0) {
            EXPECT_EQ(unit->randomState->w, before.w);
        }
    }
}

// Fault: a negative selector and an entry past the package's textures.
TEST_F(TextureKernels, ANegativeSelectorWrapsAndAnEntryPastThePackageIsNull) {
    DrawUnitRig& rig = Start(DrawEffect({OneSlotPart(Layer({4, 5, 6, 7}, Constant(-1.5f))),
                                         OneSlotPart(Layer({20, 100}, Constant(1)))}));
    ASSERT_TRUE(rig.ok);
    KernelUnit* wraps = Unit(rig, 0);
    FulgorCore::ParticleKernel::kAnimateTextureSlots[1](wraps, {});
    EXPECT_EQ(wraps->textureBindings[0].texture, rig.Texture(7));
    KernelUnit* past = Unit(rig, 1);
    past->textureBindings[0].texture = Sentinel(0);
    FulgorCore::ParticleKernel::kAnimateTextureSlots[1](past, {});
    EXPECT_EQ(past->textureBindings[0].texture, nullptr);
}

TEST_F(TextureKernels, AUsedFixedSlotStillTakesItsDraws) {
    // Slot 0 never changes (resolved at load); slot 1 moves with time and
    // has a random range.
    effecttools::LoopValue moving;
    moving.velocity = 1.0f;
    moving.maximum = 3.0f;
    moving.randomStart = 0.0f;
    moving.randomEnd = 3.0f;
    DrawPartValue part;
    part.data = effecttools::DrawDataType5Value{};
    part.textureLayers["TCo1"] = Layer({0, 1, 2}, Constant(1.0f));
    part.textureLayers["TCo2"] = Layer({0, 1, 2}, moving);
    DrawUnitRig& rig = Start(DrawEffect({part}));
    ASSERT_TRUE(rig.ok);
    const FulgorCore::ParticleResource& data = *rig.Part();
    EXPECT_EQ(data.GetUsedTextureMask(), 3u);
    EXPECT_EQ(data.GetAnimatedTextureMask(), 2u);
    EXPECT_EQ(data.GetTextureSlot(0)->texture, rig.Texture(1));
    FulgorCore::Xorshift128 copy = rig.root->random;
    FulgorCore::Xorshift128 alone = rig.root->random;
    const float first = FulgorCore::TextureSlotProperty(data, 0).GetSelector().SampleRandom(copy);
    const float second = FulgorCore::TextureSlotProperty(data, 1).GetSelector().SampleRandom(copy);
    const float withoutFirst =
        FulgorCore::TextureSlotProperty(data, 1).GetSelector().SampleRandom(alone);
    KernelUnit* unit = Unit(rig);
    EXPECT_EQ(unit->renderBlock->textureRandomValues[0], first);
    EXPECT_EQ(unit->renderBlock->textureRandomValues[1], second);
    EXPECT_NE(second, withoutFirst);
    EXPECT_EQ(unit->randomState->w, copy.w);
    EXPECT_EQ(unit->renderBlock->textureSelectKernel,
              FulgorCore::ParticleKernel::kAnimateTextureSlots[2]);
}

// The parameter of slot 3 + j is the constant 0.1 (j + 1).
DrawPartValue ParameterPart(uint32_t usedMask) {
    DrawPartValue part;
    part.data = effecttools::DrawDataType5Value{};
    for (uint32_t j = 0; j < 5; ++j)
        if (usedMask & (1u << (3 + j)))
            part.textureLayers[kLayerTags[3 + j]] =
                Layer({0}, Constant(0), Constant(0.1f * static_cast<float>(j + 1)));
    return part;
}

TEST_F(TextureKernels, EachParameterEntryWritesExactlyItsBlockFloats) {
    std::vector<DrawPartValue> parts;
    DrawUnitRig& rig = Start(DrawEffect({ParameterPart(0xF8)}));
    ASSERT_TRUE(rig.ok);
    KernelUnit* unit = Unit(rig);
    // Channel j's block float: 0, 1, 5, 4, 3.
    const uint32_t place[5] = {0, 1, 5, 4, 3};
    for (uint32_t k = 0; k < 32; ++k) {
        float block[8];
        for (float& f : block)
            f = -7.0f;
        FulgorCore::ParticleKernel::kEvaluateTextureParameters[k](unit, {}, block);
        for (uint32_t j = 0; j < 5; ++j)
            EXPECT_FLOAT_EQ(block[place[j]],
                            (k >> j) & 1u ? 0.1f * static_cast<float>(j + 1) : -7.0f)
                << "entry " << k << " channel " << j;
        for (uint32_t untouched : {2u, 6u, 7u})
            EXPECT_EQ(block[untouched], -7.0f);
    }
}

TEST_F(TextureKernels, VertexEntriesPackDistortionAndPaletteOnly) {
    DrawUnitRig& rig = Start(DrawEffect({ParameterPart(0x38)}));
    ASSERT_TRUE(rig.ok);
    KernelUnit* unit = Unit(rig);
    // Distortion 1 is 0.1, palette 0.3.
    const uint8_t d1 = static_cast<uint8_t>((0.1f * 0.5f + 0.5f) * 255.0f);
    const uint8_t pal = static_cast<uint8_t>((0.3f * 0.5f + 0.5f) * 255.0f);
    const int expected[8][2] = {{-1, -1},  {d1, -1},  {-1, -1},  {d1, -1},
                                {-1, pal}, {d1, pal}, {-1, pal}, {d1, pal}};
    for (uint32_t k = 0; k < 8; ++k) {
        uint8_t record[4] = {0xAA, 0xAA, 0xAA, 0xAA};
        FulgorCore::ParticleKernel::kPackTextureParameters[k](unit, {}, record);
        for (uint32_t b = 0; b < 2; ++b)
            EXPECT_EQ(record[b], expected[k][b] < 0 ? 0xAA : expected[k][b])
                << "entry " << k << " byte " << b;
        EXPECT_EQ(record[2], 0xAA);
        EXPECT_EQ(record[3], 0xAA);
    }
}

TEST(PackSignedUnit, ClampsThenMapsToAByte) {
    using FulgorCore::ParticleKernel::PackSignedUnit;
    EXPECT_EQ(PackSignedUnit(-5.0f), 0);
    EXPECT_EQ(PackSignedUnit(-1.0f), 0);
    EXPECT_EQ(PackSignedUnit(0.0f), 127);
    EXPECT_EQ(PackSignedUnit(0.5f), 191);
    EXPECT_EQ(PackSignedUnit(1.0f), 255);
    EXPECT_EQ(PackSignedUnit(2.0f), 255);
}

} // namespace
