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

using Tags = std::vector<const char*>;

template <class Values, class Draw>
Values RandomTagged(RandomEffectValues& r, const Tags& tags, Draw draw) {
    Values out;
    for (const char* tag : tags)
        if (r.Coin())
            out[tag] = draw();
    return out;
}
effecttools::FloatValues RandomFloats(RandomEffectValues& r, const Tags& tags) {
    return RandomTagged<effecttools::FloatValues>(r, tags, [&] { return r.Float(); });
}
effecttools::ColorValues RandomColors(RandomEffectValues& r, const Tags& tags) {
    return RandomTagged<effecttools::ColorValues>(r, tags, [&] { return r.Color(); });
}

// The animated floats and colours a draw record keeps in slots, in the
// order of their tags: each as written, or none.
template <class D>
void ExpectSlots(const D& d, const effecttools::FloatValues& floats, const Tags& floatTags,
                 const effecttools::ColorValues& colors, const Tags& colorTags,
                 const std::string& where) {
    for (size_t i = 0; i < floatTags.size(); ++i) {
        const auto it = floats.find(floatTags[i]);
        ExpectOptionalFloat(d.GetFloat(static_cast<typename D::Float>(i)),
                            it == floats.end() ? std::nullopt : std::optional(it->second),
                            where + " " + floatTags[i]);
    }
    for (size_t i = 0; i < colorTags.size(); ++i) {
        const auto& color = d.GetColor(static_cast<typename D::Color>(i));
        if (const auto it = colors.find(colorTags[i]); it != colors.end())
            ExpectColor(color, it->second, where + " " + colorTags[i]);
        else
            EXPECT_EQ(color.GetGradient().GetKeyCount(), 0u) << where << " " << colorTags[i];
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

// A draw record built from the writer's value; the build placed what the
// measure counted.
template <class Record, class Value>
std::unique_ptr<RecordBuild<Record>> Built(const Value& v, FulgorCore::IDevice* device = nullptr) {
    auto built = std::make_unique<RecordBuild<Record>>(
        Written([&](ChunkWriter& w) { effecttools::WriteDrawData(w, v); }), device);
    EXPECT_TRUE(built->Built());
    EXPECT_EQ(built->placed, built->measured);
    return built;
}

const Tags k5Floats{"MtFo", "MtRh", "MtMl", "MdAN", "MrBR", "FrC", "FrO"};
const Tags kRimColors{"FrCB", "FrCE"};
const Tags k6Floats{"Wid", "WidH", "WidC", "WidT", "Len", "Soft", "Dist"};
const Tags k6Colors{"ColH", "ColC", "ColT", "CoEH", "CoEC", "CoET"};
const Tags k7Floats{"Wid", "WidI", "WidO", "Hei", "HeiI", "HeiO", "Rad"};
const Tags k7Colors{"ColC", "ColI", "ColO"};
const Tags k12Floats{"Wid", "WidH", "WidC", "WidT", "Dist"};
const Tags k13Floats{"FrC", "FrO"};

TEST(ResourceRoundTripTest, DrawTypesOneToEight) {
    using namespace FulgorCore;
    RandomEffectValues r(5);
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE(round);
        effecttools::DrawDataType1Value v1{r.Float(), r.Color(), r.Color()};
        const auto t1 = Built<DrawDataType1>(v1);
        ExpectFloatProperty((*t1)->GetLength(), *v1.length, "1 Len");
        ExpectColor((*t1)->GetHeadColor(), *v1.headColor, "1 HCol");
        ExpectColor((*t1)->GetTailColor(), *v1.tailColor, "1 TCol");

        effecttools::DrawDataType2Value v2{r.Fields(TagsAndWidths(testsupport::kType2Fields))};
        EXPECT_EQ((*Built<DrawDataType2>(v2))->GetFlags(),
                  ExpectedWord(testsupport::kType2Fields, v2.fields, 1u << 22));

        effecttools::DrawDataType3Value v3{r.Float(), r.Float()};
        const auto t3 = Built<DrawDataType3>(v3);
        ExpectFloatProperty((*t3)->GetWidth(), *v3.width, "3 Wid");
        ExpectFloatProperty((*t3)->GetLength(), *v3.length, "3 Len");

        effecttools::DrawDataType5Value v5;
        v5.fields = r.Fields(TagsAndWidths(testsupport::kType5Fields));
        v5.list = r.List(30);
        v5.floats = RandomFloats(r, k5Floats);
        v5.colors = RandomColors(r, kRimColors);
        v5.rimDirection = r.Triple();
        const auto t5 = Built<DrawDataType5>(v5);
        const DrawDataType5& d5 = **t5;
        const uint32_t n5 = static_cast<uint32_t>(v5.list->size());
        EXPECT_EQ(d5.GetFlags(), ExpectedWord(testsupport::kType5Fields, v5.fields) | n5 << 15);
        EXPECT_TRUE(n5 == 0 || std::memcmp(d5.GetList(), v5.list->data(), n5) == 0);
        ExpectSlots(d5, v5.floats, k5Floats, v5.colors, kRimColors, "5");
        ExpectTriple(d5.GetRimDirection(), *v5.rimDirection, "5 FrD");

        effecttools::DrawDataType6Value v6;
        const uint32_t points = r.Below(6);
        v6.points = r.Bytes(points * 16);
        v6.fields = r.Fields(TagsAndWidths(testsupport::kType6FieldsA));
        for (const auto& f : r.Fields(TagsAndWidths(testsupport::kType6FieldsB)))
            v6.fields.push_back(f);
        v6.crIv = r.Below(1000);
        v6.colors = RandomColors(r, k6Colors);
        v6.floats = RandomFloats(r, k6Floats);
        const auto t6 = Built<DrawDataType6>(v6);
        const DrawDataType6& d6 = **t6;
        EXPECT_EQ(d6.GetWordA(), points | ExpectedWord(testsupport::kType6FieldsA, v6.fields));
        EXPECT_EQ(d6.GetWordB(), ExpectedWord(testsupport::kType6FieldsB, v6.fields));
        EXPECT_EQ(d6.GetCrIv(), *v6.crIv);
        for (uint32_t i = 0; i < points; ++i)
            EXPECT_EQ(std::memcmp(d6.GetPoint(i), v6.points->data() + i * 16, 16), 0);
        ExpectSlots(d6, v6.floats, k6Floats, v6.colors, k6Colors, "6");

        effecttools::DrawDataType7Value v7;
        v7.pointCount = static_cast<uint16_t>(r.Below(65536));
        v7.ece = r.Coin();
        v7.colors = RandomColors(r, k7Colors);
        v7.floats = RandomFloats(r, k7Floats);
        const auto t7 = Built<DrawDataType7>(v7);
        EXPECT_EQ((*t7)->GetPointCount(), *v7.pointCount);
        EXPECT_EQ((*t7)->GetFlags(), *v7.ece ? 1u : 0u);
        ExpectSlots(**t7, v7.floats, k7Floats, v7.colors, k7Colors, "7");

        effecttools::DrawDataType8Value v8{r.Float()};
        ExpectFloatProperty((*Built<DrawDataType8>(v8))->GetCount(), *v8.count, "8 Cnt");
    }
}

TEST(ResourceRoundTripTest, DrawTypesElevenToThirteen) {
    using namespace FulgorCore;
    RandomEffectValues r(6);
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE(round);
        effecttools::DrawDataType11Value v11;
        v11.fields = r.Fields(TagsAndWidths(testsupport::kType11Fields));
        v11.dwPx = r.Real(-5, 5);
        v11.dwPy = r.Real(-5, 5);
        const uint32_t keys = r.Below(5);
        v11.keys = r.Bytes(keys * 28);
        const auto t11 = Built<DrawDataType11>(v11);
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
        v12.colors = RandomColors(r, k6Colors);
        v12.floats = RandomFloats(r, k12Floats);
        const auto t12 = Built<DrawDataType12>(v12);
        uint32_t flags12 = ExpectedWord(testsupport::kType12Fields, v12.fields);
        if (((flags12 >> 19) & 0xFF) == 0)
            flags12 |= 1u << 19;
        EXPECT_EQ((*t12)->GetFlags(), flags12);
        EXPECT_EQ((*t12)->GetLength(), *v12.length);
        ExpectSlots(**t12, v12.floats, k12Floats, v12.colors, k6Colors, "12");

        effecttools::DrawDataType13Value v13;
        v13.rimType = static_cast<uint16_t>(r.Below(65536));
        const uint32_t vertices = 1 + r.Below(8);
        v13.vertices = r.Bytes(vertices * 48);
        v13.leftHanded = r.Coin();
        v13.indices = std::vector<uint16_t>(r.Below(12));
        for (uint16_t& i : *v13.indices)
            i = static_cast<uint16_t>(r.Below(vertices));
        v13.colors = RandomColors(r, kRimColors);
        v13.floats = RandomFloats(r, k13Floats);
        v13.rimDirection = r.Triple();
        testsupport::RecordingDevice device;
        {
            const auto t13 = Built<DrawDataType13>(v13, &device);
            const DrawDataType13& d13 = **t13;
            EXPECT_EQ(d13.GetRimType(), *v13.rimType);
            EXPECT_EQ(d13.GetVertexCount(), vertices);
            EXPECT_EQ(d13.GetIndexCount(), v13.indices->size());
            ASSERT_GE(device.creations.size(), 1u);
            EXPECT_EQ(device.creations[0].initial,
                      v13.leftHanded ? testsupport::Mirrored(*v13.vertices) : *v13.vertices);
            ExpectSlots(d13, v13.floats, k13Floats, v13.colors, kRimColors, "13");
            ExpectTriple(d13.GetRimDirection(), *v13.rimDirection, "13 FrD");
        }
        EXPECT_EQ(device.live, 0);
    }
}

} // namespace
