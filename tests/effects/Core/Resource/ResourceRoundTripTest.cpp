// Every group the writer writes, with random legal contents, built and read
// back field by field; the measure must equal what the build placed.
#include "effects/Core/Resource/AttachPoint.h"
#include "effects/Core/Resource/ColorTextureLayer.h"
#include "effects/Core/Resource/DistortionTextureLayer.h"
#include "effects/Core/Resource/DrawDataType1.h"
#include "effects/Core/Resource/DrawDataType11.h"
#include "effects/Core/Resource/DrawDataType12.h"
#include "effects/Core/Resource/DrawDataType13.h"
#include "effects/Core/Resource/DrawDataType2.h"
#include "effects/Core/Resource/DrawDataType3.h"
#include "effects/Core/Resource/DrawDataType5.h"
#include "effects/Core/Resource/DrawDataType6.h"
#include "effects/Core/Resource/DrawDataType7.h"
#include "effects/Core/Resource/DrawDataType8.h"
#include "effects/Core/Resource/NormalTextureLayer.h"
#include "effects/Core/Resource/PaletteTextureLayer.h"
#include "effects/Core/Resource/ReflectionTextureLayer.h"
#include "effects/Core/Resource/UvTransform.h"
#include "support/effects/EffectFieldTables.h"
#include "support/effects/EffectValueChecks.h"
#include "support/effects/RandomEffectValues.h"
#include "support/effects/RecordBuild.h"
#include "support/effects/RecordingDevice.h"
#include "tools/effect/DrawDataWriter.h"
#include "tools/effect/TextureWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <string>

namespace {

using effecttools::ChunkWriter;
using testsupport::ExpectColor;
using testsupport::ExpectedWord;
using testsupport::ExpectFloatProperty;
using testsupport::ExpectOptionalFloat;
using testsupport::ExpectTriple;
using testsupport::FieldTable;
using testsupport::PayloadOf;
using testsupport::RandomEffectValues;
using testsupport::RecordBuild;
using testsupport::TagsAndWidths;

constexpr int kRounds = 40;

template <class Write> std::vector<uint8_t> Written(Write write) {
    ChunkWriter w;
    write(w);
    return PayloadOf(w.Take());
}

template <class T> void ExpectPlacedAsMeasured(const RecordBuild<T>& built, int round) {
    ASSERT_TRUE(built.Built()) << round;
    EXPECT_EQ(built.placed, built.measured) << round;
}

std::string Where(const char* group, int round, const std::string& tag = "") {
    return std::string(group) + " round " + std::to_string(round) + (tag.empty() ? "" : " " + tag);
}

// Random animated floats, or none, for each tag.
effecttools::FloatValues RandomFloats(RandomEffectValues& r,
                                      std::initializer_list<const char*> tags) {
    effecttools::FloatValues out;
    for (const char* tag : tags) {
        if (r.Coin())
            out[tag] = r.Float();
    }
    return out;
}

effecttools::ColorValues RandomColors(RandomEffectValues& r,
                                      std::initializer_list<const char*> tags) {
    effecttools::ColorValues out;
    for (const char* tag : tags) {
        if (r.Coin())
            out[tag] = r.Color();
    }
    return out;
}

template <class Getter>
void ExpectFloats(const effecttools::FloatValues& written,
                  const std::vector<std::pair<const char*, uint32_t>>& slots, Getter get,
                  const std::string& where) {
    for (const auto& [tag, slot] : slots) {
        const auto it = written.find(tag);
        ExpectOptionalFloat(
            get(slot),
            it == written.end() ? std::nullopt : std::optional<effecttools::FloatValue>(it->second),
            where + " " + tag);
    }
}

template <class Getter>
void ExpectColors(const effecttools::ColorValues& written,
                  const std::vector<std::pair<const char*, uint32_t>>& slots, Getter get,
                  const std::string& where) {
    for (const auto& [tag, slot] : slots) {
        const auto it = written.find(tag);
        if (it != written.end())
            ExpectColor(get(slot), it->second, where + " " + tag);
        else
            EXPECT_EQ(get(slot).GetGradient().GetKeyCount(), 0u) << where << " " << tag;
    }
}

TEST(ResourceRoundTripTest, AnimatedFloats) {
    RandomEffectValues r(1);
    for (int round = 0; round < kRounds * 2; ++round) {
        const effecttools::FloatValue v = r.Float();
        RecordBuild<FulgorCore::FloatProperty> p(
            Written([&](ChunkWriter& w) { effecttools::WriteFloatProperty(w, "Prop", v); }));
        ExpectPlacedAsMeasured(p, round);
        ExpectFloatProperty(*p, v, Where("float", round));
    }
}

TEST(ResourceRoundTripTest, PairsTriplesAndColours) {
    RandomEffectValues r(2);
    for (int round = 0; round < kRounds; ++round) {
        const effecttools::PairValue pair = r.Pair();
        RecordBuild<FulgorCore::FloatPairProperty> p(
            Written([&](ChunkWriter& w) { effecttools::WritePairProperty(w, "VlRt", pair); }));
        ExpectPlacedAsMeasured(p, round);
        testsupport::ExpectPair(*p, pair, Where("pair", round));

        const effecttools::TripleValue triple = r.Triple();
        RecordBuild<FulgorCore::FloatTripleProperty> t(
            Written([&](ChunkWriter& w) { effecttools::WriteTripleProperty(w, "Scl", triple); }));
        ExpectPlacedAsMeasured(t, round);
        ExpectTriple(*t, triple, Where("triple", round));

        const effecttools::ColorValue color = r.Color();
        RecordBuild<FulgorCore::ColorProperty> c(
            Written([&](ChunkWriter& w) { effecttools::WriteColorProperty(w, "Col", color); }));
        ExpectPlacedAsMeasured(c, round);
        ExpectColor(*c, color, Where("colour", round));
    }
}

template <class Layer>
void RoundTripLayer(RandomEffectValues& r, const FieldTable& table, int listShift,
                    std::function<void(ChunkWriter&, const effecttools::TextureLayerValue&)> write,
                    std::function<const FulgorCore::FloatProperty*(const Layer&)> extra,
                    const char* name) {
    for (int round = 0; round < kRounds; ++round) {
        effecttools::TextureLayerValue v;
        v.fields = r.Fields(TagsAndWidths(table));
        v.list = r.List(40);
        v.number = r.Float();
        if (extra)
            v.extra = r.Float();
        RecordBuild<Layer> layer(Written([&](ChunkWriter& w) { write(w, v); }));
        ExpectPlacedAsMeasured(layer, round);
        const uint32_t length = static_cast<uint32_t>(v.list->size());
        const uint32_t lengthBits = listShift < 0 ? 0u : length << listShift;
        EXPECT_EQ(layer->GetFlags(), ExpectedWord(table, v.fields) | lengthBits)
            << Where(name, round);
        EXPECT_EQ(layer->GetListLength(), length) << Where(name, round);
        if (length) {
            EXPECT_EQ(std::memcmp(layer->GetList(), v.list->data(), length), 0);
        }
        ExpectFloatProperty(layer->GetTextureNumber(), *v.number, Where(name, round, "TxNo"));
        if (extra)
            ExpectFloatProperty(*extra(*layer), *v.extra, Where(name, round, "extra"));
    }
}

TEST(ResourceRoundTripTest, TextureLayers) {
    using namespace FulgorCore;
    RandomEffectValues r(3);
    RoundTripLayer<ColorTextureLayer>(
        r, testsupport::kColorLayerFields, -1,
        [](ChunkWriter& w, const auto& v) { effecttools::WriteColorTextureLayer(w, "TCo2", v); },
        nullptr, "TCo2");
    RoundTripLayer<DistortionTextureLayer>(
        r, testsupport::kDistortionLayerFields, 20,
        [](ChunkWriter& w, const auto& v) {
            effecttools::WriteDistortionTextureLayer(w, "TDs2", v);
        },
        [](const DistortionTextureLayer& l) { return &l.GetPower(); }, "TDs2");
    RoundTripLayer<PaletteTextureLayer>(
        r, testsupport::kPaletteLayerFields, 9,
        [](ChunkWriter& w, const auto& v) { effecttools::WritePaletteTextureLayer(w, v); },
        [](const PaletteTextureLayer& l) { return &l.GetOffset(); }, "TPlt");
    RoundTripLayer<NormalTextureLayer>(
        r, testsupport::kNormalLayerFields, 10,
        [](ChunkWriter& w, const auto& v) { effecttools::WriteNormalTextureLayer(w, v); },
        [](const NormalTextureLayer& l) { return &l.GetScale(); }, "TNrm");
    RoundTripLayer<ReflectionTextureLayer>(
        r, testsupport::kReflectionLayerFields, 7,
        [](ChunkWriter& w, const auto& v) { effecttools::WriteReflectionTextureLayer(w, v); },
        [](const ReflectionTextureLayer& l) { return &l.GetBlend(); }, "TRef");
}

TEST(ResourceRoundTripTest, UvTransformsAndAttachPoints) {
    RandomEffectValues r(4);
    for (int round = 0; round < kRounds; ++round) {
        effecttools::UvTransformValue v;
        v.coordinateType = r.Below(4);
        v.orderType = r.Below(4);
        v.scale = r.Pair();
        v.scroll = r.Pair();
        v.rotation = r.Float();
        RecordBuild<FulgorCore::UvTransform> uv(
            Written([&](ChunkWriter& w) { effecttools::WriteUvTransform(w, v); }));
        ExpectPlacedAsMeasured(uv, round);
        const uint32_t flags = *v.coordinateType | *v.orderType << 2 |
                               (*v.coordinateType == 0 ? 1u << 4 : 0u) |
                               (*v.orderType == 1 ? 1u << 5 : 0u);
        EXPECT_EQ(uv->GetFlags(), flags) << round;
        testsupport::ExpectPair(uv->GetScale(), *v.scale, Where("Scl", round));
        testsupport::ExpectPair(uv->GetScroll(), *v.scroll, Where("Scr", round));
        ExpectFloatProperty(uv->GetRotation(), *v.rotation, Where("Rot", round));

        effecttools::AttachPointValue a;
        a.targetType = r.Below(16);
        a.pointType = r.Below(16);
        a.name = "point" + std::to_string(r.Below(100000));
        a.position = r.Triple();
        RecordBuild<FulgorCore::AttachPoint> point(
            Written([&](ChunkWriter& w) { effecttools::WriteAttachPoint(w, "BnV1", a); }));
        ExpectPlacedAsMeasured(point, round);
        EXPECT_EQ(point->GetFlags(), a.targetType | a.pointType << 4) << round;
        EXPECT_EQ(std::string(point->GetName()), *a.name) << round;
        ExpectTriple(point->GetPosition(), a.position, Where("Pos", round));
    }
}

template <class Record, class Value>
RecordBuild<Record>* Build(const Value& v, FulgorCore::IDevice* device = nullptr) {
    return new RecordBuild<Record>(
        Written([&](ChunkWriter& w) { effecttools::WriteDrawData(w, v); }), device);
}

TEST(ResourceRoundTripTest, DrawTypesOneToEight) {
    using namespace FulgorCore;
    RandomEffectValues r(5);
    for (int round = 0; round < kRounds; ++round) {
        effecttools::DrawDataType1Value v1{r.Float(), r.Color(), r.Color()};
        std::unique_ptr<RecordBuild<DrawDataType1>> t1(Build<DrawDataType1>(v1));
        ExpectPlacedAsMeasured(*t1, round);
        ExpectFloatProperty((*t1)->GetLength(), *v1.length, Where("1 Len", round));
        ExpectColor((*t1)->GetHeadColor(), *v1.headColor, Where("1 HCol", round));
        ExpectColor((*t1)->GetTailColor(), *v1.tailColor, Where("1 TCol", round));

        effecttools::DrawDataType2Value v2{r.Fields(TagsAndWidths(testsupport::kType2Fields))};
        std::unique_ptr<RecordBuild<DrawDataType2>> t2(Build<DrawDataType2>(v2));
        ExpectPlacedAsMeasured(*t2, round);
        EXPECT_EQ((*t2)->GetFlags(), ExpectedWord(testsupport::kType2Fields, v2.fields, 1u << 22));

        effecttools::DrawDataType3Value v3{r.Float(), r.Float()};
        std::unique_ptr<RecordBuild<DrawDataType3>> t3(Build<DrawDataType3>(v3));
        ExpectPlacedAsMeasured(*t3, round);
        ExpectFloatProperty((*t3)->GetWidth(), *v3.width, Where("3 Wid", round));
        ExpectFloatProperty((*t3)->GetLength(), *v3.length, Where("3 Len", round));

        effecttools::DrawDataType5Value v5;
        v5.fields = r.Fields(TagsAndWidths(testsupport::kType5Fields));
        v5.list = r.List(30);
        v5.floats = RandomFloats(r, {"MtFo", "MtRh", "MtMl", "MdAN", "MrBR", "FrC", "FrO"});
        v5.colors = RandomColors(r, {"FrCB", "FrCE"});
        v5.rimDirection = r.Triple();
        std::unique_ptr<RecordBuild<DrawDataType5>> t5(Build<DrawDataType5>(v5));
        ExpectPlacedAsMeasured(*t5, round);
        const DrawDataType5& d5 = **t5;
        const uint32_t n5 = static_cast<uint32_t>(v5.list->size());
        EXPECT_EQ(d5.GetFlags(), ExpectedWord(testsupport::kType5Fields, v5.fields) | n5 << 15);
        if (n5) {
            EXPECT_EQ(std::memcmp(d5.GetList(), v5.list->data(), n5), 0);
        }
        ExpectFloats(
            v5.floats,
            {{"MtFo", DrawDataType5::kMtFo},
             {"MtRh", DrawDataType5::kMtRh},
             {"MtMl", DrawDataType5::kMtMl},
             {"MdAN", DrawDataType5::kMdAN},
             {"MrBR", DrawDataType5::kMrBR},
             {"FrC", DrawDataType5::kFrC},
             {"FrO", DrawDataType5::kFrO}},
            [&](uint32_t s) -> const FloatProperty& {
                return d5.GetFloat(static_cast<DrawDataType5::Float>(s));
            },
            Where("5", round));
        ExpectColors(
            v5.colors, {{"FrCB", DrawDataType5::kFrCB}, {"FrCE", DrawDataType5::kFrCE}},
            [&](uint32_t s) -> const ColorProperty& {
                return d5.GetColor(static_cast<DrawDataType5::Color>(s));
            },
            Where("5", round));
        ExpectTriple(d5.GetRimDirection(), *v5.rimDirection, Where("5 FrD", round));

        effecttools::DrawDataType6Value v6;
        const uint32_t points = r.Below(6);
        v6.points = r.Bytes(points * 16);
        v6.fields = r.Fields(TagsAndWidths(testsupport::kType6FieldsA));
        for (const auto& f : r.Fields(TagsAndWidths(testsupport::kType6FieldsB)))
            v6.fields.push_back(f);
        v6.crIv = r.Below(1000);
        v6.colors = RandomColors(r, {"ColH", "ColC", "ColT", "CoEH", "CoEC", "CoET"});
        v6.floats = RandomFloats(r, {"Wid", "WidH", "WidC", "WidT", "Len", "Soft", "Dist"});
        std::unique_ptr<RecordBuild<DrawDataType6>> t6(Build<DrawDataType6>(v6));
        ExpectPlacedAsMeasured(*t6, round);
        const DrawDataType6& d6 = **t6;
        EXPECT_EQ(d6.GetWordA(), points | ExpectedWord(testsupport::kType6FieldsA, v6.fields));
        EXPECT_EQ(d6.GetWordB(), ExpectedWord(testsupport::kType6FieldsB, v6.fields));
        EXPECT_EQ(d6.GetCrIv(), *v6.crIv);
        for (uint32_t i = 0; i < points; ++i)
            EXPECT_EQ(std::memcmp(d6.GetPoint(i), v6.points->data() + i * 16, 16), 0);
        ExpectColors(
            v6.colors,
            {{"ColH", DrawDataType6::kColH},
             {"ColC", DrawDataType6::kColC},
             {"ColT", DrawDataType6::kColT},
             {"CoEH", DrawDataType6::kCoEH},
             {"CoEC", DrawDataType6::kCoEC},
             {"CoET", DrawDataType6::kCoET}},
            [&](uint32_t s) -> const ColorProperty& {
                return d6.GetColor(static_cast<DrawDataType6::Color>(s));
            },
            Where("6", round));
        ExpectFloats(
            v6.floats,
            {{"Wid", DrawDataType6::kWid},
             {"WidH", DrawDataType6::kWidH},
             {"WidC", DrawDataType6::kWidC},
             {"WidT", DrawDataType6::kWidT},
             {"Len", DrawDataType6::kLen},
             {"Soft", DrawDataType6::kSoft},
             {"Dist", DrawDataType6::kDist}},
            [&](uint32_t s) -> const FloatProperty& {
                return d6.GetFloat(static_cast<DrawDataType6::Float>(s));
            },
            Where("6", round));

        effecttools::DrawDataType7Value v7;
        v7.pointCount = static_cast<uint16_t>(r.Below(65536));
        v7.ece = r.Coin();
        v7.colors = RandomColors(r, {"ColC", "ColI", "ColO"});
        v7.floats = RandomFloats(r, {"Wid", "WidI", "WidO", "Hei", "HeiI", "HeiO", "Rad"});
        std::unique_ptr<RecordBuild<DrawDataType7>> t7(Build<DrawDataType7>(v7));
        ExpectPlacedAsMeasured(*t7, round);
        const DrawDataType7& d7 = **t7;
        EXPECT_EQ(d7.GetPointCount(), *v7.pointCount);
        EXPECT_EQ(d7.GetFlags(), *v7.ece ? 1u : 0u);
        ExpectColors(
            v7.colors,
            {{"ColC", DrawDataType7::kColC},
             {"ColI", DrawDataType7::kColI},
             {"ColO", DrawDataType7::kColO}},
            [&](uint32_t s) -> const ColorProperty& {
                return d7.GetColor(static_cast<DrawDataType7::Color>(s));
            },
            Where("7", round));
        ExpectFloats(
            v7.floats,
            {{"Wid", DrawDataType7::kWid},
             {"WidI", DrawDataType7::kWidI},
             {"WidO", DrawDataType7::kWidO},
             {"Hei", DrawDataType7::kHei},
             {"HeiI", DrawDataType7::kHeiI},
             {"HeiO", DrawDataType7::kHeiO},
             {"Rad", DrawDataType7::kRad}},
            [&](uint32_t s) -> const FloatProperty& {
                return d7.GetFloat(static_cast<DrawDataType7::Float>(s));
            },
            Where("7", round));

        effecttools::DrawDataType8Value v8{r.Float()};
        std::unique_ptr<RecordBuild<DrawDataType8>> t8(Build<DrawDataType8>(v8));
        ExpectPlacedAsMeasured(*t8, round);
        ExpectFloatProperty((*t8)->GetCount(), *v8.count, Where("8 Cnt", round));
    }
}

void Mirror(std::vector<uint8_t>& vertices) {
    for (size_t at = 0; at + 48 <= vertices.size(); at += 48) {
        float f;
        std::memcpy(&f, &vertices[at + 8], 4);
        f = -f;
        std::memcpy(&vertices[at + 8], &f, 4);
        vertices[at + 14] = static_cast<uint8_t>(255 - vertices[at + 14]);
        vertices[at + 18] = static_cast<uint8_t>(255 - vertices[at + 18]);
    }
}

TEST(ResourceRoundTripTest, DrawTypesElevenToThirteen) {
    using namespace FulgorCore;
    RandomEffectValues r(6);
    for (int round = 0; round < kRounds; ++round) {
        effecttools::DrawDataType11Value v11;
        v11.fields = r.Fields(TagsAndWidths(testsupport::kType11Fields));
        v11.dwPx = r.Real(-5, 5);
        v11.dwPy = r.Real(-5, 5);
        const uint32_t keys = r.Below(5);
        v11.keys = r.Bytes(keys * 28);
        std::unique_ptr<RecordBuild<DrawDataType11>> t11(Build<DrawDataType11>(v11));
        ExpectPlacedAsMeasured(*t11, round);
        const DrawDataType11& d11 = **t11;
        EXPECT_EQ(d11.GetFlags(),
                  ExpectedWord(testsupport::kType11Fields, v11.fields, 1u << 2) | keys << 4);
        EXPECT_EQ(d11.GetDwPx(), *v11.dwPx);
        EXPECT_EQ(d11.GetDwPy(), *v11.dwPy);
        for (uint32_t i = 0; i < keys; ++i)
            EXPECT_EQ(std::memcmp(d11.GetKey(i), v11.keys->data() + i * 28, 28), 0);

        effecttools::DrawDataType12Value v12;
        v12.fields = r.Fields(TagsAndWidths(testsupport::kType12Fields));
        v12.length = r.Real(0, 1000);
        v12.colors = RandomColors(r, {"ColH", "ColC", "ColT", "CoEH", "CoEC", "CoET"});
        v12.floats = RandomFloats(r, {"Wid", "WidH", "WidC", "WidT", "Dist"});
        std::unique_ptr<RecordBuild<DrawDataType12>> t12(Build<DrawDataType12>(v12));
        ExpectPlacedAsMeasured(*t12, round);
        const DrawDataType12& d12 = **t12;
        uint32_t flags12 = ExpectedWord(testsupport::kType12Fields, v12.fields);
        if (((flags12 >> 19) & 0xFF) == 0)
            flags12 |= 1u << 19;
        EXPECT_EQ(d12.GetFlags(), flags12);
        EXPECT_EQ(d12.GetLength(), *v12.length);
        ExpectColors(
            v12.colors,
            {{"ColH", DrawDataType12::kColH},
             {"ColC", DrawDataType12::kColC},
             {"ColT", DrawDataType12::kColT},
             {"CoEH", DrawDataType12::kCoEH},
             {"CoEC", DrawDataType12::kCoEC},
             {"CoET", DrawDataType12::kCoET}},
            [&](uint32_t s) -> const ColorProperty& {
                return d12.GetColor(static_cast<DrawDataType12::Color>(s));
            },
            Where("12", round));
        ExpectFloats(
            v12.floats,
            {{"Wid", DrawDataType12::kWid},
             {"WidH", DrawDataType12::kWidH},
             {"WidC", DrawDataType12::kWidC},
             {"WidT", DrawDataType12::kWidT},
             {"Dist", DrawDataType12::kDist}},
            [&](uint32_t s) -> const FloatProperty& {
                return d12.GetFloat(static_cast<DrawDataType12::Float>(s));
            },
            Where("12", round));

        effecttools::DrawDataType13Value v13;
        v13.rimType = static_cast<uint16_t>(r.Below(65536));
        const uint32_t vertices = 1 + r.Below(8);
        v13.vertices = r.Bytes(vertices * 48);
        v13.leftHanded = r.Coin();
        v13.indices = std::vector<uint16_t>(r.Below(12));
        for (uint16_t& i : *v13.indices)
            i = static_cast<uint16_t>(r.Below(vertices));
        v13.colors = RandomColors(r, {"FrCB", "FrCE"});
        v13.floats = RandomFloats(r, {"FrC", "FrO"});
        v13.rimDirection = r.Triple();
        testsupport::RecordingDevice device;
        {
            std::unique_ptr<RecordBuild<DrawDataType13>> t13(Build<DrawDataType13>(v13, &device));
            ExpectPlacedAsMeasured(*t13, round);
            const DrawDataType13& d13 = **t13;
            EXPECT_EQ(d13.GetRimType(), *v13.rimType);
            EXPECT_EQ(d13.GetVertexCount(), vertices);
            EXPECT_EQ(d13.GetIndexCount(), v13.indices->size());
            std::vector<uint8_t> expected = *v13.vertices;
            if (v13.leftHanded)
                Mirror(expected);
            ASSERT_GE(device.creations.size(), 1u);
            EXPECT_EQ(device.creations[0].initial, expected);
            ExpectColors(
                v13.colors, {{"FrCB", DrawDataType13::kFrCB}, {"FrCE", DrawDataType13::kFrCE}},
                [&](uint32_t s) -> const ColorProperty& {
                    return d13.GetColor(static_cast<DrawDataType13::Color>(s));
                },
                Where("13", round));
            ExpectFloats(
                v13.floats, {{"FrC", DrawDataType13::kFrC}, {"FrO", DrawDataType13::kFrO}},
                [&](uint32_t s) -> const FloatProperty& {
                    return d13.GetFloat(static_cast<DrawDataType13::Float>(s));
                },
                Where("13", round));
            ExpectTriple(d13.GetRimDirection(), *v13.rimDirection, Where("13 FrD", round));
        }
        EXPECT_EQ(device.live, 0);
    }
}

} // namespace
