// The material a draw part gets at its build: the render-state word, the
// texture slots with their masks and sampler words, and the shader key the
// device is asked for, from writer-made parts of every draw type.
#include "support/effects/FakeListeners.h"
#include "support/effects/RecordBuild.h"
#include "support/effects/RecordingDevice.h"
#include "support/effects/ShaderKeyCorpus.h"

#include "effects/Core/Resource/PackageResource.h"
#include "effects/Core/Resource/ParticleResource.h"
#include "effects/Core/Resource/UnitResource.h"
#include "effects/render/ShaderSourceGenerator.h"
#include "tools/effect/PackageWriter.h"

#include <gtest/gtest.h>

#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

using effecttools::DrawPartValue;
using effecttools::FieldValue;
using effecttools::TextureLayerValue;
using FulgorCore::PackageResource;
using FulgorCore::ParticleResource;
using FulgorCore::ShaderKey;
using K = FulgorCore::ShaderKey;
using testsupport::KeyFieldValue;
using testsupport::KeyOf;
using testsupport::RecordBuild;
using testsupport::RecordingDevice;

// The render-state word by its fields: depth flags in bits 0 and 1, cull
// mode in 2-3, blend mode in 4-6, batch kind in 7-10.
uint32_t StateWord(bool depthA, bool depthB, uint32_t cull, uint32_t blend, uint32_t batch) {
    return (depthA ? 1u : 0u) | (depthB ? 2u : 0u) | cull << 2 | blend << 4 | batch << 7;
}

TextureLayerValue Layer(std::vector<FieldValue> fields) {
    TextureLayerValue l;
    l.fields = std::move(fields);
    l.fields.push_back({"bEbl", 1});
    l.list = std::vector<int8_t>{0};
    return l;
}

// A part of every setting, each layer on with values of its own: the draw
// type's texture level decides which of them reach the key.
DrawPartValue RichPart(effecttools::DrawDataValue data) {
    DrawPartValue part;
    part.data = std::move(data);
    part.fields = {{"UvSC", 2}, {"DMod", 2}, {"DFac", 2}, {"DTst", 3}, {"bPAo", 1},
                   {"bPAt", 1}, {"bOAO", 1}, {"SftP", 1}, {"bApL", 1}};
    // Set 2 comes from the screen.
    part.uvLayers.resize(2);
    part.uvLayers[1].coordinateType = 1;
    part.textureLayers["TCo1"] = Layer({{"bScC", 1},
                                        {"UvC", 1},
                                        {"UvA", 2},
                                        {"CST", 3},
                                        {"CScl", 1},
                                        {"TCCT", 2},
                                        {"TFT", 1},
                                        {"TBUT", 2},
                                        {"TBVT", 3},
                                        {"bMip", 1}});
    part.textureLayers["TCo2"] =
        Layer({{"UvC", 3}, {"UvA", 3}, {"TCCT", 1}, {"TCAT", 2}, {"CST", 5}, {"CScl", 2}});
    part.textureLayers["TCo3"] =
        Layer({{"UvA", 4}, {"TCCT", 4}, {"TCAT", 1}, {"CST", 8}, {"CScl", 3}, {"bScC", 1}});
    part.textureLayers["TDs1"] = Layer(
        {{"UvSt", 1}, {"bMsk", 1}, {"UvSM", 2}, {"Tgt1", 1}, {"Tgt3", 1}, {"TFT", 2}, {"TBUT", 1}});
    part.textureLayers["TDs2"] = Layer({{"UvSt", 2}, {"Tgt6", 1}});
    part.textureLayers["TPlt"] = Layer({{"bEbR", 1}, {"bEbB", 1}, {"TBT", 2}, {"TFT", 1}});
    part.textureLayers["TNrm"] = Layer({{"UvSt", 4}, {"TFT", 3}, {"TBVT", 1}});
    part.textureLayers["TRef"] = Layer({{"TCCT", 3}, {"TFT", 2}});
    return part;
}

// The keys those settings give, field by field.
const std::vector<KeyFieldValue> kAlphaSwitches = {
    {K::kOpaqueAlpha, 1}, {K::kSoftParticle, 1}, {K::kAlphaLight, 1}};
const std::vector<KeyFieldValue> kOffsetAndTest = {{K::kAlphaOffset, 1}, {K::kAlphaTest, 1}};
const std::vector<KeyFieldValue> kLevel1 = {{K::kColor1Enable, 1},   {K::kColor1FlipV, 1},
                                            {K::kColor1RgbUvSet, 1}, {K::kColor1AlphaUvSet, 2},
                                            {K::kColor1Channel, 3},  {K::kColor1Scale, 1}};
const std::vector<KeyFieldValue> kLevel2 = {
    {K::kColor2Enable, 1},          {K::kColor2RgbUvSet, 3},
    {K::kColor2AlphaUvSet, 3},      {K::kColor2RgbOp, 1},
    {K::kColor2AlphaOp, 2},         {K::kColor2Channel, 5},
    {K::kColor2Scale, 2},           {K::kColor3Enable, 1},
    {K::kColor3FlipV, 1},           {K::kColor3AlphaUvSet, 4},
    {K::kColor3RgbOp, 4},           {K::kColor3AlphaOp, 1},
    {K::kColor3Channel, 8},         {K::kColor3Scale, 3},
    {K::kDistortion1Enable, 1},     {K::kDistortion1UvSet, 1},
    {K::kDistortion1BlueScale, 1},  {K::kDistortion1BlueUvSet, 2},
    {K::kDistortion1TargetMask, 5}, {K::kDistortion2Enable, 1},
    {K::kDistortion2UvSet, 2},      {K::kDistortion2TargetMask, 32},
    {K::kPaletteEnable, 1},         {K::kPaletteChannelMask, 5}};
const std::vector<KeyFieldValue> kLevel3 = {{K::kNormalMapEnable, 1},
                                            {K::kNormalMapUvSet, 4},
                                            {K::kReflectionEnable, 1},
                                            {K::kReflectionOp, 3}};
// The package: the scene light on, the effect light off, point lights 1
// and 3 on, modes 1, 2, 3, 0.
const std::vector<FieldValue> kPackageLights = {{"bDLS", 1}, {"PCo1", 1}, {"PCo3", 2},
                                                {"PCa1", 1}, {"PCa2", 2}, {"PCa3", 3}};

// Writes the parts as the units of one package, builds it with the device.
struct BuiltParts {
    BuiltParts(const std::vector<DrawPartValue>& parts, RecordingDevice& device,
               std::vector<FieldValue> packageFields = kPackageLights) {
        effecttools::PackageValue package;
        package.fields = std::move(packageFields);
        package.textures = {{std::string("t"), std::vector<uint8_t>(16, 1), std::nullopt}};
        for (const DrawPartValue& p : parts) {
            effecttools::UnitValue unit;
            unit.drawParts.push_back(p);
            package.units.push_back(unit);
        }
        effecttools::ChunkWriter w;
        effecttools::WritePackage(w, package);
        build = std::make_unique<RecordBuild<PackageResource>>(testsupport::PayloadOf(w.Take()),
                                                               &device, &listener);
    }
    const ParticleResource& Part(uint32_t i) const { return *(*build)->GetUnit(i)->GetDrawPart(0); }
    testsupport::FakeObjectListenner listener;
    std::unique_ptr<RecordBuild<PackageResource>> build;
};

struct TypeCase {
    const char* name;
    DrawPartValue part;
    uint32_t batch;
    uint32_t stages;
    ShaderKey key;
};

ShaderKey Expected(uint32_t kind, uint32_t uvSets, std::vector<std::vector<KeyFieldValue>> lists) {
    ShaderKey key = KeyOf(kind, {{K::kUvSetCount, uvSets}, {K::kUvSourceMask, 0x3F}});
    // With the unit's two sets, the second comes from the screen.
    if (uvSets == 2)
        key.Set(K::kUvSourceMask, 0x3D);
    for (const auto& list : lists)
        for (const KeyFieldValue& f : list)
            key.Set(f.field, f.value);
    return key;
}

effecttools::DrawDataType4Value Type4(uint32_t subMode) {
    effecttools::DrawDataType4Value v;
    v.fields = {{"DTyp", subMode}, {"bLGT", 1}};
    return v;
}

std::vector<TypeCase> TypeCases() {
    using namespace effecttools;
    const std::vector<KeyFieldValue> sceneLight = {{K::kSceneLight, 1}};
    const std::vector<KeyFieldValue> lit = {{K::kLightingEnable, 1}, {K::kSceneLight, 1}};
    DrawDataType2Value type2;
    type2.fields = {{"bLtE", 1}};
    DrawDataType5Value type5;
    type5.fields = {{"bMrf", 1}, {"bLgt", 1}, {"bSpc", 1}, {"FreT", 3}, {"VCCT", 4}};
    DrawDataType10Value type10;
    type10.projectionType = 2;
    DrawDataType11Value type11;
    type11.fields = {{"bLtE", 1}};
    DrawDataType13Value type13;
    type13.rimType = 2;
    const std::vector<KeyFieldValue> model = {
        {K::kMorphTarget, 1},     {K::kFalloffMode, 3},
        {K::kVertexColorMode, 4}, {K::kReflectionUseReflectVector, 1},
        {K::kLightingEnable, 1},  {K::kSpecularEnable, 1},
        {K::kSceneLight, 1},      {K::kPointLightMask, 5},
        {K::kPointLight1Mode, 1}, {K::kPointLight2Mode, 2},
        {K::kPointLight3Mode, 3}};
    // Types 1, 2, 4, 10 and 11 take neither the alpha offset nor the test.
    return {
        {"Type1Lines", RichPart(DrawDataType1Value{}), 3, 0,
         Expected(K::kShape, 0, {kAlphaSwitches})},
        {"Type2Billboards", RichPart(type2), 2, 1,
         Expected(K::kSimple, 0, {kAlphaSwitches, kLevel1, lit})},
        {"Type3", RichPart(DrawDataType3Value{}), 3, 1,
         Expected(K::kShape, 1, {kAlphaSwitches, kOffsetAndTest, kLevel1})},
        {"Type4SubMode0", RichPart(Type4(0)), 1, 1, Expected(K::kShape, 0, {kAlphaSwitches, lit})},
        {"Type4SubMode1", RichPart(Type4(1)), 1, 1, Expected(K::kShape, 0, {kAlphaSwitches, lit})},
        {"Type4SubMode2", RichPart(Type4(2)), 2, 1,
         Expected(K::kSimple, 0, {kAlphaSwitches, kLevel1, lit})},
        {"Type4SubMode3", RichPart(Type4(3)), 0, 1, Expected(4, 0, {kAlphaSwitches, lit})},
        {"Type5Model", RichPart(type5), 4, 8,
         Expected(K::kModel, 2,
                  {kAlphaSwitches, kOffsetAndTest, kLevel1, kLevel2, kLevel3, model})},
        {"Type6", RichPart(DrawDataType6Value{}), 3, 6,
         Expected(K::kShape, 2, {kAlphaSwitches, kOffsetAndTest, kLevel1, kLevel2})},
        {"Type7", RichPart(DrawDataType7Value{}), 3, 6,
         Expected(K::kShape, 2, {kAlphaSwitches, kOffsetAndTest, kLevel1, kLevel2})},
        {"Type8", RichPart(DrawDataType8Value{}), 3, 6,
         Expected(K::kShape, 2, {kAlphaSwitches, kOffsetAndTest, kLevel1, kLevel2})},
        {"Type9", RichPart(DrawDataType9Value{}), 3, 6,
         Expected(K::kShape, 2, {kAlphaSwitches, kOffsetAndTest, kLevel1, kLevel2})},
        {"Type10Projection", RichPart(type10), 5, 6,
         Expected(K::kProjection, 2, {kAlphaSwitches, kLevel1, kLevel2, {{K::kDecalShape, 2}}})},
        // Colour layer 1 forced on at set 0, unchanged, whatever its data;
        // no layer is read, so its flip stays 0.
        {"Type11Flipbook", RichPart(type11), 2, 1,
         Expected(K::kSimple, 0, {kAlphaSwitches, lit, {{K::kColor1Enable, 1}}})},
        {"Type12", RichPart(DrawDataType12Value{}), 3, 6,
         Expected(K::kShape, 2, {kAlphaSwitches, kOffsetAndTest, kLevel1, kLevel2})},
        {"Type13Mesh", RichPart(type13), 4, 8,
         Expected(
             K::kModel, 2,
             {kAlphaSwitches, kOffsetAndTest, kLevel1, kLevel2, kLevel3, {{K::kFalloffMode, 2}}})},
    };
}

TEST(MaterialBuilders, EveryDrawTypeGetsItsBatchStagesAndKey) {
    const std::vector<TypeCase> cases = TypeCases();
    std::vector<DrawPartValue> parts;
    for (const TypeCase& c : cases)
        parts.push_back(c.part);
    RecordingDevice device;
    BuiltParts built(parts, device);
    ASSERT_TRUE(built.build->Built());
    ASSERT_EQ(device.shaderKeys.size(), cases.size());
    for (size_t i = 0; i < cases.size(); ++i) {
        const TypeCase& c = cases[i];
        const ParticleResource& part = built.Part(static_cast<uint32_t>(i));
        // Depth mode 3, cull mode 2, blend mode 2 (type 10 has its own).
        const uint32_t word =
            i == 12 ? StateWord(true, false, 1, 2, 5) : StateWord(true, true, 2, 2, c.batch);
        EXPECT_EQ(part.GetRenderStateWord(), word) << c.name;
        EXPECT_EQ(part.GetTextureSlotCount(), c.stages) << c.name;
        EXPECT_EQ(part.GetUsedTextureMask(), (1u << c.stages) - 1) << c.name;
        EXPECT_EQ(device.shaderKeys[i], c.key) << c.name;
        // Every key the composer makes is inside the programs' tables.
        EXPECT_TRUE(FulgorCore::ShaderSourceGenerator::DescribesProgram(c.key)) << c.name;
        EXPECT_NE(part.GetShader(), nullptr) << c.name;
    }
}

// Settings one at a time, on a type-6 part (own set count, level 2).
TEST(MaterialBuilders, SwitchesCountsAndSourcesReachStateAndKey) {
    struct Case {
        const char* name;
        std::vector<FieldValue> fields;
        std::vector<uint32_t> screenSets; // texture-coordinate layers from the screen
        uint32_t word;
        ShaderKey key;
    };
    const uint32_t kIndexed = 3;
    const Case cases[] = {
        {"DepthMode0", {{"DTst", 0}}, {}, StateWord(false, false, 0, 0, kIndexed), KeyOf(1)},
        {"DepthMode1", {{"DTst", 1}}, {}, StateWord(true, false, 0, 0, kIndexed), KeyOf(1)},
        {"DepthMode2", {{"DTst", 2}}, {}, StateWord(false, true, 0, 0, kIndexed), KeyOf(1)},
        {"DepthMode3AndCull3",
         {{"DTst", 3}, {"DFac", 3}},
         {},
         StateWord(true, true, 3, 0, kIndexed),
         KeyOf(1)},
        {"Blend5Premultiplies",
         {{"DMod", 5}},
         {},
         StateWord(false, false, 0, 5, kIndexed),
         KeyOf(1, {{K::kPremultiplyAlpha, 1}})},
        {"Blend6DoesNot", {{"DMod", 6}}, {}, StateWord(false, false, 0, 6, kIndexed), KeyOf(1)},
        {"ThreeSetsLeaveBits18To20Set",
         {{"UvSC", 3}},
         {},
         StateWord(false, false, 0, 0, kIndexed),
         KeyOf(1, {{K::kUvSetCount, 3}, {K::kUvSourceMask, 0x3F}})},
        {"AScreenSetClearsItsBit",
         {{"UvSC", 3}},
         {0, 2},
         StateWord(false, false, 0, 0, kIndexed),
         KeyOf(1, {{K::kUvSetCount, 3}, {K::kUvSourceMask, 0x3A}})},
    };
    std::vector<DrawPartValue> parts;
    for (const Case& c : cases) {
        DrawPartValue part;
        part.data = effecttools::DrawDataType6Value{};
        part.fields = c.fields;
        part.uvLayers.resize(6);
        for (uint32_t set : c.screenSets)
            part.uvLayers[set].coordinateType = 1;
        parts.push_back(part);
    }
    RecordingDevice device;
    BuiltParts built(parts, device, {});
    ASSERT_EQ(device.shaderKeys.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        EXPECT_EQ(built.Part(static_cast<uint32_t>(i)).GetRenderStateWord(), c.word) << c.name;
        ShaderKey key = c.key;
        if (!key.Get(K::kUvSetCount))
            key.Set(K::kUvSourceMask, 0x3F);
        EXPECT_EQ(device.shaderKeys[i], key) << c.name;
    }
}

// Sampler words: filter, address U, address V in two bits each, then the
// flag: a colour layer's mipmap switch, always on for the distortions, the
// normal map and the reflection, never for the palette. A projection volume
// clears it on every stage.
TEST(MaterialBuilders, SamplerWordsCarryFilterAddressesAndFlag) {
    DrawPartValue model = RichPart(effecttools::DrawDataType5Value{});
    // Colour layer 2's texture number moves: it is chosen per frame.
    effecttools::LoopValue loop;
    loop.velocity = 1.0f;
    loop.maximum = 3.0f;
    model.textureLayers["TCo2"].number = loop;
    RecordingDevice device;
    BuiltParts built({model, RichPart(effecttools::DrawDataType10Value{})}, device);
    const uint32_t expected[8] = {
        1 | 2 << 2 | 3 << 4 | 64, // colour 1
        0,                        // colour 2: all modes 0, no mipmap
        0,                        // colour 3
        2 | 1 << 2 | 64,          // distortion 1
        64,                       // distortion 2
        1 | 2 << 2 | 2 << 4,      // palette: one address for both
        3 | 1 << 4 | 64,          // normal map
        2 | 64,                   // reflection
    };
    for (uint32_t s = 0; s < 8; ++s)
        EXPECT_EQ(built.Part(0).GetTextureSlot(s)->sampler, expected[s]) << "stage " << s;
    for (uint32_t s = 0; s < 6; ++s)
        EXPECT_EQ(built.Part(1).GetTextureSlot(s)->sampler, expected[s] & 63u) << "stage " << s;
    // Constant texture numbers resolve to the package's texture at once.
    EXPECT_EQ(built.Part(0).GetUsedTextureMask(), 255u);
    EXPECT_EQ(built.Part(0).GetAnimatedTextureMask(), 2u);
    EXPECT_EQ(built.Part(0).GetTextureSlot(3)->texture, (*built.build)->GetTexture(0));
    EXPECT_EQ(built.Part(0).GetTextureSlot(1)->texture, nullptr);
    EXPECT_EQ(built.Part(0).GetTextureSlot(7)->texture, (*built.build)->GetTexture(0));
}

// A part without a draw type asks the device for nothing; a device that
// refuses leaves the part without a shader; a shader made is held by the
// part and given back with it.
TEST(MaterialBuilders, TheDeviceIsAskedOnlyForDrawnPartsAndMayRefuse) {
    DrawPartValue none;
    none.fields = {{"DMod", 1}};
    DrawPartValue drawn;
    drawn.data = effecttools::DrawDataType9Value{};
    RecordingDevice device;
    {
        BuiltParts built({none, drawn}, device);
        EXPECT_EQ(built.Part(0).GetShader(), nullptr);
        EXPECT_EQ(built.Part(0).GetRenderStateWord(), StateWord(false, false, 0, 1, 0));
        ASSERT_EQ(device.shaderKeys.size(), 1u);
        EXPECT_NE(built.Part(1).GetShader(), nullptr);
        EXPECT_EQ(device.live, 2); // the package's texture and the drawn part's shader
    }
    EXPECT_EQ(device.live, 0);
    device.failWhen = [](const RecordingDevice::Creation& c) {
        return c.kind == RecordingDevice::Kind::Shader;
    };
    BuiltParts refused({drawn}, device);
    EXPECT_EQ(device.shaderKeys.size(), 2u);
    EXPECT_EQ(refused.Part(0).GetShader(), nullptr);
}

// Fault: the data's bit fields hold values past the programs' tables (a
// channel of 11-15, a colour or reflection operation of 6-7, a set index of
// 6-7, decal shape 3). They reach the key as the tables' neutral entries,
// so the key always has programs.
TEST(MaterialBuilders, DataPastTheTablesComposesNeutralEntries) {
    struct Case {
        const char* layer;
        const char* tag;
        uint32_t value;
        K::Field field;
        uint32_t neutral;
    };
    const Case cases[] = {
        {"TCo1", "CST", 11, K::kColor1Channel, 0},
        {"TCo2", "CST", 15, K::kColor2Channel, 0},
        {"TCo3", "CST", 12, K::kColor3Channel, 0},
        {"TCo2", "TCCT", 6, K::kColor2RgbOp, 5},
        {"TCo3", "TCCT", 7, K::kColor3RgbOp, 5},
        {"TRef", "TCCT", 6, K::kReflectionOp, 5},
        {"TCo1", "CST", 10, K::kColor1Channel, 10},
        {"TRef", "TCCT", 5, K::kReflectionOp, 5},
        {"TCo1", "UvC", 6, K::kColor1RgbUvSet, 0},
        {"TCo1", "UvA", 7, K::kColor1AlphaUvSet, 0},
        {"TCo2", "UvC", 7, K::kColor2RgbUvSet, 0},
        {"TCo2", "UvA", 6, K::kColor2AlphaUvSet, 0},
        {"TCo3", "UvC", 6, K::kColor3RgbUvSet, 0},
        {"TCo3", "UvA", 7, K::kColor3AlphaUvSet, 0},
        {"TDs1", "UvSt", 6, K::kDistortion1UvSet, 0},
        {"TDs1", "UvSM", 7, K::kDistortion1BlueUvSet, 0},
        {"TDs2", "UvSt", 7, K::kDistortion2UvSet, 0},
        {"TDs2", "UvSM", 6, K::kDistortion2BlueUvSet, 0},
        {"TNrm", "UvSt", 7, K::kNormalMapUvSet, 0},
        {"TCo2", "UvA", 5, K::kColor2AlphaUvSet, 5},
        {"TNrm", "UvSt", 5, K::kNormalMapUvSet, 5},
    };
    std::vector<DrawPartValue> parts;
    for (const Case& c : cases) {
        DrawPartValue part;
        part.data = effecttools::DrawDataType5Value{};
        part.textureLayers[c.layer] = Layer({{c.tag, c.value}});
        parts.push_back(part);
    }
    effecttools::DrawDataType10Value ring;
    ring.projectionType = 3;
    parts.push_back({});
    parts.back().data = ring;
    RecordingDevice device;
    BuiltParts built(parts, device);
    ASSERT_EQ(device.shaderKeys.size(), std::size(cases) + 1);
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(device.shaderKeys[i].Get(cases[i].field), cases[i].neutral)
            << cases[i].layer << " " << cases[i].tag << " " << cases[i].value;
        EXPECT_TRUE(FulgorCore::ShaderSourceGenerator::DescribesProgram(device.shaderKeys[i]));
    }
    EXPECT_EQ(device.shaderKeys.back().Get(K::kDecalShape), 0u);
    EXPECT_EQ(device.shaderKeys.back().Get(K::kKind), uint32_t{K::kProjection});
}

} // namespace
