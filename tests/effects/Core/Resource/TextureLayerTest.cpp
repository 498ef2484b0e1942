#include "effects/Core/Resource/ColorTextureLayer.h"
#include "effects/Core/Resource/DistortionTextureLayer.h"
#include "effects/Core/Resource/NormalTextureLayer.h"
#include "effects/Core/Resource/PaletteTextureLayer.h"
#include "effects/Core/Resource/ReflectionTextureLayer.h"
#include "effects/Core/Value/ValueConstant.h"
#include "support/effects/EffectFieldTables.h"
#include "support/effects/RecordBuild.h"
#include "tools/effect/TextureWriter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace {

using effecttools::ChunkWriter;
using effecttools::Constant;
using effecttools::TextureLayerValue;
using FulgorCore::EvaluationContext;
using FulgorCore::Xorshift128;
using testsupport::PayloadOf;
using testsupport::RecordBuild;

using testsupport::FieldTable;

template <class Layer> std::vector<uint8_t> Bytes(const TextureLayerValue& v);

template <> std::vector<uint8_t> Bytes<FulgorCore::ColorTextureLayer>(const TextureLayerValue& v) {
    ChunkWriter w;
    effecttools::WriteColorTextureLayer(w, "TCo1", v);
    return PayloadOf(w.Take());
}
template <>
std::vector<uint8_t> Bytes<FulgorCore::DistortionTextureLayer>(const TextureLayerValue& v) {
    ChunkWriter w;
    effecttools::WriteDistortionTextureLayer(w, "TDs1", v);
    return PayloadOf(w.Take());
}
template <>
std::vector<uint8_t> Bytes<FulgorCore::PaletteTextureLayer>(const TextureLayerValue& v) {
    ChunkWriter w;
    effecttools::WritePaletteTextureLayer(w, v);
    return PayloadOf(w.Take());
}
template <> std::vector<uint8_t> Bytes<FulgorCore::NormalTextureLayer>(const TextureLayerValue& v) {
    ChunkWriter w;
    effecttools::WriteNormalTextureLayer(w, v);
    return PayloadOf(w.Take());
}
template <>
std::vector<uint8_t> Bytes<FulgorCore::ReflectionTextureLayer>(const TextureLayerValue& v) {
    ChunkWriter w;
    effecttools::WriteReflectionTextureLayer(w, v);
    return PayloadOf(w.Take());
}

// Each field alone, written with every bit of its width and one above it:
// a flag stores 1, a field its low bits, nothing else moves.
template <class Layer> void ExpectFieldsAtTheirBits(const FieldTable& fields) {
    for (const testsupport::FieldLayout& f : fields) {
        const bool flag = f.tag[0] == 'b';
        const uint32_t written = flag ? 2u : (1u << (f.width + 1)) - 1u;
        RecordBuild<Layer> layer(Bytes<Layer>({{{f.tag, written}}, {}, {}, {}}));
        const uint32_t expected = (flag ? 1u : (1u << f.width) - 1u) << f.shift;
        EXPECT_EQ(layer->GetFlags(), expected) << f.tag;
        // Zero clears a flag and empties a field.
        RecordBuild<Layer> cleared(Bytes<Layer>({{{f.tag, written}, {f.tag, 0}}, {}, {}, {}}));
        EXPECT_EQ(cleared->GetFlags(), 0u) << f.tag;
    }
}

TEST(TextureLayerTest, EachKindStoresItsFieldsAtTheirBits) {
    ExpectFieldsAtTheirBits<FulgorCore::ColorTextureLayer>(testsupport::kColorLayerFields);
    ExpectFieldsAtTheirBits<FulgorCore::DistortionTextureLayer>(
        testsupport::kDistortionLayerFields);
    ExpectFieldsAtTheirBits<FulgorCore::PaletteTextureLayer>(testsupport::kPaletteLayerFields);
    ExpectFieldsAtTheirBits<FulgorCore::NormalTextureLayer>(testsupport::kNormalLayerFields);
    ExpectFieldsAtTheirBits<FulgorCore::ReflectionTextureLayer>(
        testsupport::kReflectionLayerFields);
}

TEST(TextureLayerTest, ALongListIsCopiedWholeButCountsItsLowByte) {
    std::vector<int8_t> list(300);
    for (size_t i = 0; i < list.size(); ++i)
        list[i] = static_cast<int8_t>(i);
    RecordBuild<FulgorCore::NormalTextureLayer> layer(
        Bytes<FulgorCore::NormalTextureLayer>({{}, list, {}, {}}));
    EXPECT_EQ(layer->GetListLength(), 44u);
    EXPECT_EQ(layer.measured, 304u);
    EXPECT_EQ(layer.placed, 304u);
    ASSERT_TRUE(layer.InBlock(layer->GetList()));
    EXPECT_EQ(layer->GetList()[299], static_cast<int8_t>(299));
}

int32_t Index(const FulgorCore::ColorTextureLayer& layer) {
    Xorshift128 state;
    return layer.TextureIndex(EvaluationContext{}, 0.0f, state);
}

TEST(TextureLayerTest, TheTextureIndexOfTheColourLayer) {
    using Layer = FulgorCore::ColorTextureLayer;
    const std::vector<int8_t> list = {7, -3, 12};
    RecordBuild<Layer> capture(Bytes<Layer>({{{"bScC", 1}}, list, Constant(1.0f), {}}));
    EXPECT_EQ(Index(*capture), -2);
    RecordBuild<Layer> empty(Bytes<Layer>({{}, {}, Constant(1.0f), {}}));
    EXPECT_EQ(Index(*empty), -1);
    RecordBuild<Layer> one(Bytes<Layer>({{}, std::vector<int8_t>{9}, Constant(5.0f), {}}));
    EXPECT_EQ(Index(*one), 9);
    RecordBuild<Layer> third(Bytes<Layer>({{}, list, Constant(2.9f), {}}));
    EXPECT_EQ(Index(*third), 12);
    RecordBuild<Layer> wrapped(Bytes<Layer>({{}, list, Constant(4.0f), {}}));
    EXPECT_EQ(Index(*wrapped), -3);
}

TEST(TextureLayerTest, NegativeAndNanPositionsStayInTheList) {
    using Layer = FulgorCore::ReflectionTextureLayer;
    const std::vector<int8_t> list = {7, -3, 12};
    // -1 is the last entry, -5 the second.
    RecordBuild<Layer> minusOne(Bytes<Layer>({{}, list, Constant(-1.0f), {}}));
    Xorshift128 state;
    EXPECT_EQ(minusOne->TextureIndex(EvaluationContext{}, 0.0f, state), 12);
    RecordBuild<Layer> minusFive(Bytes<Layer>({{}, list, Constant(-5.0f), {}}));
    EXPECT_EQ(minusFive->TextureIndex(EvaluationContext{}, 0.0f, state), -3);
    // NaN and positions past 32 bits truncate to 0x80000000, which is
    // -2 modulo 3: entry 1.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(static_cast<int64_t>(INT32_MIN) % 3, -2);
    for (float position : {nan, -1e30f, 1e30f, -std::numeric_limits<float>::infinity()}) {
        RecordBuild<Layer> odd(Bytes<Layer>({{}, list, Constant(position), {}}));
        EXPECT_EQ(odd->TextureIndex(EvaluationContext{}, 0.0f, state), -3) << position;
    }
}

// Each kind reads its extra float from its own tag (the round trip shows
// which); another kind's tag is skipped.
TEST(TextureLayerTest, AnotherKindsExtraTagIsSkipped) {
    ChunkWriter w;
    w.Begin("TNrm");
    effecttools::WriteFloatProperty(w, "Pow", Constant(3.0f));
    w.End();
    RecordBuild<FulgorCore::NormalTextureLayer> other(PayloadOf(w.Take()));
    EXPECT_EQ(other->GetScale().GetKind(), FulgorCore::FloatProperty::kNone);
}

} // namespace
