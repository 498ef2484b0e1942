// Whole packages from the writer, with every draw type, emitter kind, model
// form, bind, clip, texture source, trigger and assignment, fade and track,
// built and read back through the getters; the build must place exactly
// what the measure counted.
#include "effects/Core/Resource/AngleFade.h"
#include "effects/Core/Resource/BindResource.h"
#include "effects/Core/Resource/DistanceFade.h"
#include "effects/Core/Resource/DrawDataType10.h"
#include "effects/Core/Resource/DrawDataType4.h"
#include "effects/Core/Resource/DrawDataType9.h"
#include "effects/Core/Resource/EffectPartResource.h"
#include "effects/Core/Resource/EmitterResource.h"
#include "effects/Core/Resource/ModelResource.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/Core/Resource/ParticleResource.h"
#include "effects/Core/Resource/RadiusPair.h"
#include "effects/Core/Resource/TimelineResource.h"
#include "effects/Core/Resource/UnitResource.h"
#include "effects/Core/Resource/UnitTimelineResource.h"
#include "support/effects/EffectFieldTables.h"
#include "support/effects/EffectValueChecks.h"
#include "support/effects/FakeListeners.h"
#include "support/effects/RandomEffectValues.h"
#include "support/effects/RecordBuild.h"
#include "support/effects/RecordingDevice.h"
#include "tools/effect/PackageWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using namespace effecttools;
using FulgorCore::PackageResource;
using testsupport::ExpectedWord;
using testsupport::ExpectFloatProperty;
using testsupport::ExpectTriple;
using testsupport::RandomEffectValues;
using testsupport::RecordBuild;
using testsupport::TagsAndWidths;

constexpr int kRounds = 12;

std::vector<uint8_t> PackagePayload(const PackageValue& v) {
    ChunkWriter w;
    WritePackage(w, v);
    return testsupport::PayloadOf(w.Take());
}

std::vector<uint8_t> Vertices(RandomEffectValues& r, uint32_t n) {
    std::vector<uint8_t> bytes;
    for (uint32_t i = 0; i < n; ++i) {
        const std::vector<uint8_t> v = ModelVertex(
            r.Real(-5, 5), r.Real(-5, 5), r.Real(-5, 5), static_cast<uint8_t>(r.Below(256)),
            static_cast<uint8_t>(r.Below(256)), static_cast<uint8_t>(i));
        bytes.insert(bytes.end(), v.begin(), v.end());
    }
    return bytes;
}

std::vector<uint16_t> Indices(RandomEffectValues& r, uint32_t n, uint32_t below) {
    std::vector<uint16_t> out(n);
    for (uint16_t& i : out)
        i = static_cast<uint16_t>(r.Below(below));
    return out;
}

// Draw data of each type with a few fields set.
DrawDataValue DrawData(RandomEffectValues& r, uint32_t type) {
    switch (type) {
    case 1:
        return DrawDataType1Value{r.Float(), r.Color(), std::nullopt};
    case 2:
        return DrawDataType2Value{r.Fields(TagsAndWidths(testsupport::kType2Fields))};
    case 3:
        return DrawDataType3Value{r.Float(), r.Float()};
    case 4: {
        DrawDataType4Value v;
        v.fields = r.Fields(TagsAndWidths(testsupport::kType4LifeFields));
        for (const FieldValue& f : r.Fields(TagsAndWidths(testsupport::kType4FlagFields)))
            v.fields.push_back(f);
        v.fields.push_back({"DTyp", r.Below(4)});
        v.fields.push_back({"CrCt", 1 + r.Below(6)});
        v.crIv = r.Below(400);
        v.floats = {{"CoR1", r.Real(0, 1)}, {"LMax", r.Real(1, 9)},  {"SRZ", r.Real(-1, 1)},
                    {"RRX", r.Real(-1, 1)}, {"MvRZ", r.Real(-1, 1)}, {"BPOY", r.Real(-3, 3)},
                    {"FInf", r.Real(0, 2)}, {"FFrY", 3.0f},          {"FArY", 2.0f}};
        v.integers = {{"GoFO", static_cast<int32_t>(r.Below(100)) - 50}, {"GoFW", 7}};
        v.colorTimes = {{"CoF2", static_cast<uint16_t>(r.Below(60000))}};
        v.crMd = static_cast<uint8_t>(r.Below(256));
        v.goMd = static_cast<uint8_t>(r.Below(256));
        v.bpCt = static_cast<int16_t>(1 + r.Below(4));
        v.seed = r.Below(1000000);
        v.field = r.Below(3);
        return v;
    }
    case 5: {
        DrawDataType5Value v;
        v.list = r.List(6);
        return v;
    }
    case 6: {
        DrawDataType6Value v;
        v.points = r.Bytes(32);
        return v;
    }
    case 7: {
        DrawDataType7Value v;
        v.pointCount = static_cast<uint16_t>(r.Below(60));
        return v;
    }
    case 8:
        return DrawDataType8Value{r.Float()};
    case 9: {
        DrawDataType9Value v;
        v.sizeX = r.Real(0, 4);
        v.pivotZ = r.Real(-1, 1);
        return v;
    }
    case 10: {
        DrawDataType10Value v;
        v.projectionType = r.Below(4);
        v.rangeR = r.Float();
        v.rangeW = r.Float();
        return v;
    }
    case 11: {
        DrawDataType11Value v;
        v.dwPx = r.Real(0, 1);
        return v;
    }
    case 12: {
        DrawDataType12Value v;
        v.length = r.Real(1, 5);
        return v;
    }
    default: {
        DrawDataType13Value v;
        v.vertices = Vertices(r, 4);
        v.leftHanded = r.Coin();
        v.indices = Indices(r, 6, 4);
        return v;
    }
    }
}

DrawPartValue DrawPart(RandomEffectValues& r, uint32_t type) {
    DrawPartValue p;
    p.data = DrawData(r, type);
    p.fields = r.Fields(TagsAndWidths(testsupport::kDrawPartFieldsC));
    for (const FieldValue& f : r.Fields(TagsAndWidths(testsupport::kDrawPartFieldsD)))
        p.fields.push_back(f);
    p.fields.push_back({"UvSC", r.Below(7)});
    p.fields.push_back({"bOAO", r.Below(2)});
    p.fields.push_back({"bApL", r.Below(2)});
    p.priority = static_cast<uint8_t>(r.Below(256));
    p.bias = r.Coin() ? 0.0f : r.Real(-2, 2);
    p.biasScale = r.Coin() ? 1.0f : r.Real(0, 3);
    p.aOff = r.Float();
    p.drawSize = r.Triple();
    p.drawColor = r.Color();
    const uint32_t layers = r.Below(7);
    for (uint32_t i = 0; i < layers; ++i)
        p.uvLayers.push_back({r.Below(4), r.Below(4), r.Pair(), std::nullopt, r.Float()});
    p.textureLayers["TCo1"] = {{{"bEbl", 1}}, std::vector<int8_t>{1, 0}, r.Float(), std::nullopt};
    p.textureLayers["TRef"] = {{{"TFT", r.Below(4)}}, std::nullopt, std::nullopt, r.Float()};
    return p;
}

ShapeValue Shape(RandomEffectValues& r, uint32_t kind) {
    ShapeValue s;
    s.fields.push_back({"GnCT", r.Below(16)});
    s.fields.push_back({"GnPT", r.Below(16)});
    s.model = static_cast<uint8_t>(r.Below(256));
    s.latitudeDivisions = static_cast<uint8_t>(r.Below(256));
    s.longitudeDivisions = static_cast<uint8_t>(r.Below(256));
    s.points = r.Bytes(16 * r.Below(4));
    if (kind == 8 || kind == 9)
        s.fields = r.Fields(
            TagsAndWidths(kind == 8 ? testsupport::kShape8Fields : testsupport::kShape9Fields));
    for (const char* tag : {"Rad", "RadI", "RadO", "Len", "IjAI", "InAO", "IjA", "IjSp"})
        s.floats.push_back({tag, r.Float()});
    if (kind == 8)
        s.size3 = r.Triple();
    if (kind == 9)
        s.size2 = r.Pair();
    return s;
}

EmitterValue Emitter(RandomEffectValues& r, uint32_t kind) {
    EmitterValue e;
    e.kind = kind;
    const uint32_t spawn = r.Below(3);
    for (uint32_t i = 0; i < spawn; ++i) {
        SpawnEntryValue s;
        s.fields = {{"bEbl", r.Below(2)},    {"TgUI", r.Below(256)},   {"UST", r.Below(65536)},
                    {"Lif", r.Below(65536)}, {"VNOf", r.Below(65536)}, {"PLNo", r.Below(256)},
                    {"bCVN", r.Below(2)},    {"GeLA", r.Below(256)},   {"ApCd", r.Below(256)},
                    {"ApbR", r.Below(2)},    {"PLPs", r.Below(2)}};
        s.rei = std::array<float, 3>{r.Real(-1, 1), r.Real(-1, 1), r.Real(-1, 1)};
        e.spawnEntries.push_back(s);
    }
    const uint32_t timed = r.Below(3);
    for (uint32_t i = 0; i < timed; ++i) {
        TimedEntryValue t;
        t.count = static_cast<uint16_t>(r.Below(65536));
        t.interval = static_cast<int16_t>(static_cast<int32_t>(r.Below(2000)) - 1000);
        t.endFrame = static_cast<int32_t>(r.Below(500));
        t.vlSc = r.Below(0xFFFFFFFFu);
        e.timedEntries.push_back(t);
    }
    e.shape = Shape(r, kind);
    for (auto& link : e.parentLinks)
        if (r.Coin())
            link = static_cast<int8_t>(static_cast<int32_t>(r.Below(6)) - 3);
    e.localRotation = r.Triple();
    return e;
}

UnitValue Unit(RandomEffectValues& r, uint32_t index) {
    UnitValue u;
    u.fields = r.Fields(TagsAndWidths(testsupport::kUnitFlagFields));
    for (const FieldValue& f : r.Fields(TagsAndWidths(testsupport::kUnitResetFields)))
        u.fields.push_back(f);
    u.life = static_cast<int32_t>(r.Below(600));
    u.loopStart = static_cast<int32_t>(r.Below(100));
    u.loopEnd = -static_cast<int32_t>(r.Below(100));
    u.sound = "se" + std::to_string(index);
    u.soundParameter = r.Below(100);
    if (r.Coin())
        u.reference = "vfx/ref" + std::to_string(r.Below(3)) + ".vfxb";
    u.distanceFade = DistanceFadeValue{r.Real(0, 1), r.Real(1, 2), r.Real(2, 3), r.Real(3, 4)};
    u.resetNumber = static_cast<int8_t>(static_cast<int32_t>(r.Below(20)) - 10);
    u.uic1 = r.Bytes(16);
    u.animation =
        std::vector<AnimationItem>{{"Leng", 4.0f, 0, {}},
                                   {"Loop", 1.0f, 1, {}},
                                   {"SclY", 1.0f, 0, {{0, 1.0f}, {200, 3.0f}}},
                                   {"Leng", 8.0f, 0, {}},
                                   {"TraZ", 1.0f, 0, {{0, 0.0f}, {100, 2.0f}, {400, 1.0f}}},
                                   {"Rota", 1.0f, 1, {}}};
    u.color = r.Color();
    u.triples["GraG"] = r.Triple();
    u.triples["Pos"] = r.Triple();
    u.fuCt = r.Float();
    u.vlRt = r.Pair();
    if (index % 2 == 0)
        u.effectPart = EffectPartValue{index % 4 == 0 ? 2u : 1u, true, r.Float(), r.Float()};
    const uint32_t timelines = r.Below(3);
    for (uint32_t i = 0; i < timelines; ++i) {
        UnitTimelineValue t;
        for (uint32_t k = r.Below(3); k > 0; --k)
            t.items.push_back(r.Bytes(14));
        t.label = "line" + std::to_string(i);
        t.otu = static_cast<uint8_t>(r.Below(256));
        t.otd = static_cast<uint16_t>(r.Below(0x8000));
        t.otuFlag = r.Coin();
        t.life = static_cast<uint16_t>(r.Below(65536));
        u.unitTimelines.push_back(t);
    }
    return u;
}

PackageValue RandomPackage(RandomEffectValues& r) {
    PackageValue p;
    // Thirteen draw types over five units, nine emitter kinds with them.
    for (uint32_t u = 0; u < 5; ++u) {
        UnitValue unit = Unit(r, u);
        for (uint32_t d = 0; d < 3; ++d)
            if (const uint32_t type = u * 3 + d + 1; type <= 13)
                unit.drawParts.push_back(DrawPart(r, type));
        for (uint32_t e = 0; e < 2; ++e)
            if (const uint32_t kind = u * 2 + e + 1; kind <= 9)
                unit.emitters.push_back(Emitter(r, kind));
        p.units.push_back(std::move(unit));
    }
    p.referenceCapacity = 8;
    p.textures.push_back({std::string("glow"), r.Bytes(40), std::nullopt});
    p.textures.push_back({std::nullopt, std::nullopt, std::string("named")});
    p.textures.push_back({std::string("spare"), std::nullopt, std::nullopt});
    // Stream 1 plain, stream 2 mirrored, mirrored edges.
    ModelValue m;
    m.stream1 = VertexStreamValue{Vertices(r, 5), false, Indices(r, 9, 5)};
    m.stream2 = VertexStreamValue{Vertices(r, 3), true, Indices(r, 3, 3)};
    m.edgeVertices = r.Bytes(16 * 4);
    m.edgeTag = "VxEL";
    m.edgeIndices = Indices(r, 5, 4);
    m.areas = std::vector<float>{0.0f, 1.0f, 3.0f, 6.0f};
    p.models.push_back(m);
    ModelValue leftOnly;
    leftOnly.stream1 = VertexStreamValue{Vertices(r, 3), true, Indices(r, 3, 3)};
    leftOnly.pointNumbers = std::vector<uint16_t>{};
    p.models.push_back(leftOnly);
    AttachPointValue a{r.Below(16), r.Below(16), std::string("hand"), r.Triple()};
    p.binds.push_back({uint16_t{1}, int16_t{3}, int16_t{5}, int16_t{-4}, a, a, r.Float()});
    p.binds.push_back(
        {uint16_t{0}, std::nullopt, std::nullopt, int16_t{9}, a, std::nullopt, std::nullopt});
    TimelineValue t;
    t.length = 120;
    t.loopStart = 20;
    t.loopEnd = 90;
    TimelineItemValue clipItem;
    clipItem.type = 1;
    clipItem.target = 2;
    clipItem.startFrame = 10;
    clipItem.flags = 0xA5;
    clipItem.clip = ReferenceClip("vfx/clip.vfxb", 0x7F);
    TimelineItemValue plain;
    plain.enabled = 1;
    plain.bind = 1;
    t.items = {clipItem, plain};
    p.timelines.push_back(t);
    p.distanceFade = DistanceFadeValue{1, 2, 3, 4};
    p.angleFade = AngleFadeValue{2, 0.5f, 0.6f, 0.7f, 0.8f};
    for (int16_t i = 0; i < 14; ++i)
        p.triggers.push_back({static_cast<int16_t>(i % 2), static_cast<int16_t>(-1 + i % 3)});
    p.assignments.push_back({int16_t{0}, std::nullopt});
    p.fields = r.Fields(TagsAndWidths(testsupport::kPackageCounts2Fields));
    for (const FieldValue& f : r.Fields(TagsAndWidths(testsupport::kPackageFlagFields)))
        p.fields.push_back(f);
    p.floats = {{"SftP", r.Real(0, 1)}, {"BndR", r.Real(1, 9)},  {"PvSx", 2.0f}, {"PvSy", 3.0f},
                {"PvSz", 4.0f},         {"PvPy", r.Real(-9, 9)}, {"PvCg", 0.25f}};
    return p;
}

uint32_t FieldOf(const std::vector<FieldValue>& fields, const std::string& tag) {
    uint32_t v = 0;
    for (const FieldValue& f : fields)
        if (f.tag == tag)
            v = f.value;
    return v;
}

void ExpectDrawPart(const FulgorCore::ParticleResource& part, const DrawPartValue& v, uint32_t type,
                    const std::string& where) {
    SCOPED_TRACE(where);
    using FulgorCore::ParticleResource;
    EXPECT_EQ(part.GetDrawType(), type);
    EXPECT_EQ(part.GetFlagsC(), ExpectedWord(testsupport::kDrawPartFieldsC, v.fields));
    const uint32_t uvsc = FieldOf(v.fields, "UvSC");
    EXPECT_EQ(part.GetFlagsD(),
              ExpectedWord(testsupport::kDrawPartFieldsD, v.fields) | (type << 8) | (uvsc << 12));
    EXPECT_EQ(part.GetUvLayerCount(), uvsc);
    EXPECT_EQ(part.GetFlagOAO(), FieldOf(v.fields, "bOAO"));
    EXPECT_EQ(part.GetFlagApL(), FieldOf(v.fields, "bApL"));
    EXPECT_EQ(part.GetDrawPriority(), *v.priority);
    EXPECT_EQ(part.GetBias(), *v.bias);
    EXPECT_EQ(part.GetBiasScale(), *v.biasScale);
    const uint32_t dbt = FieldOf(v.fields, "bDBT");
    const uint32_t mode = *v.bias == 0.0f ? 0 : (*v.biasScale == 1.0f ? 1 : 3) + (dbt ? 1 : 0);
    EXPECT_EQ(part.GetBiasMode(), mode);
    ExpectFloatProperty(part.GetAOff(), *v.aOff, where + " AOff");
    ExpectTriple(part.GetDrawSize(), *v.drawSize, where + " DwSz");
    testsupport::ExpectColor(part.GetDrawColor(), *v.drawColor, where + " DwCl");
    uint32_t mask = 0;
    bool someUvCT = false;
    for (size_t k = 0; k < v.uvLayers.size(); ++k) {
        const FulgorCore::UvTransform* layer = part.GetUvLayer(static_cast<uint32_t>(k));
        ASSERT_NE(layer, nullptr);
        EXPECT_EQ(layer->GetField(FulgorCore::UvTransform::kCoordinateType),
                  *v.uvLayers[k].coordinateType);
        someUvCT = someUvCT || *v.uvLayers[k].coordinateType == 1;
        if (k < uvsc && *v.uvLayers[k].orderType == 1)
            mask |= 1u << k;
    }
    // Layers the file did not give keep "UvOT" 1.
    for (size_t k = v.uvLayers.size(); k < uvsc; ++k)
        mask |= 1u << k;
    EXPECT_EQ(part.GetTextureLayerMask(), mask);
    EXPECT_EQ((part.GetLayerFlags() & 1u) != 0, someUvCT);
    EXPECT_EQ(part.GetUvLayer(6), nullptr);
    EXPECT_EQ(part.GetColorLayer(0)->GetField(FulgorCore::ColorTextureLayer::kEnable), 1u);
    EXPECT_EQ(part.GetColorLayer(0)->GetListLength(), 2u);
    ExpectFloatProperty(part.GetReflectionLayer().GetBlend(), *v.textureLayers.at("TRef").extra,
                        where + " TRef Blnd");
    ASSERT_NE(part.GetDrawData(), nullptr);
    // Exactly the typed getter of its own type answers.
    const void* typed[13] = {
        part.GetDrawDataType1(),  part.GetDrawDataType2(),  part.GetDrawDataType3(),
        part.GetDrawDataType4(),  part.GetDrawDataType5(),  part.GetDrawDataType6(),
        part.GetDrawDataType7(),  part.GetDrawDataType8(),  part.GetDrawDataType9(),
        part.GetDrawDataType10(), part.GetDrawDataType11(), part.GetDrawDataType12(),
        part.GetDrawDataType13()};
    for (uint32_t t = 1; t <= 13; ++t)
        EXPECT_EQ(typed[t - 1] != nullptr, t == type) << " typed getter " << t;
}

void ExpectType4(const FulgorCore::DrawDataType4& d, const DrawDataType4Value& v,
                 const std::string& where) {
    SCOPED_TRACE(where);
    using D = FulgorCore::DrawDataType4;
    const uint32_t crct = FieldOf(v.fields, "CrCt");
    EXPECT_EQ(d.GetCountWord(),
              FieldOf(v.fields, "DTyp") | crct << 2 | ((*v.crIv * 10) & 4095) << 14);
    EXPECT_EQ(d.GetLifeWord(), ExpectedWord(testsupport::kType4LifeFields, v.fields));
    uint32_t flags = ExpectedWord(testsupport::kType4FlagFields, v.fields);
    if (((flags >> 8) & 255) == 0)
        flags &= ~(1u << 19);
    EXPECT_EQ(d.GetFlagWord(), flags);
    EXPECT_EQ(d.GetCrMd(), *v.crMd);
    EXPECT_EQ(d.GetGoMd(), *v.goMd);
    EXPECT_EQ(d.GetColorTime(1), v.colorTimes.at("CoF2"));
    EXPECT_EQ(d.GetFloat(D::kCoR1), v.floats.at("CoR1"));
    EXPECT_EQ(d.GetFloat(D::kLMax), v.floats.at("LMax"));
    EXPECT_EQ(d.GetFloat(D::kSRZ), v.floats.at("SRZ"));
    EXPECT_EQ(d.GetFloat(D::kRRX), v.floats.at("RRX"));
    EXPECT_EQ(d.GetFloat(D::kMvRZ), v.floats.at("MvRZ"));
    EXPECT_EQ(d.GetFloat(D::kBPOY), v.floats.at("BPOY"));
    EXPECT_EQ(d.GetFloat(D::kFInf), v.floats.at("FInf"));
    EXPECT_EQ(d.GetFloat(D::kGoFO), static_cast<float>(v.integers.at("GoFO")));
    EXPECT_EQ(d.GetFloat(D::kGoFW), 7.0f);
    EXPECT_EQ(d.GetBPCt(), *v.bpCt);
    EXPECT_EQ(d.GetFieldOn(), *v.field != 0 ? 1u : 0u);
    // 256 x "FFrY" / "FArY"; X and Z: 256 x 1.0 over a missing (zero) area.
    EXPECT_EQ(d.GetFieldScale(0), 256.0f);
    EXPECT_EQ(d.GetFieldScale(1), 256.0f * 3.0f / 2.0f);
    EXPECT_EQ(d.GetEmissionEntryCount(), crct * static_cast<uint32_t>(*v.bpCt));
    ASSERT_NE(d.GetEmissionTable(), nullptr);
    // The generator fills the table: the last group is born last.
    EXPECT_LE(d.GetEmissionTable()[d.GetEmissionEntryCount() - 1].birthOffset[0], 0.0f);
}

void ExpectEmitter(const FulgorCore::EmitterResource& e, const EmitterValue& v, uint32_t kind,
                   const std::string& where) {
    SCOPED_TRACE(where);
    EXPECT_EQ(e.GetKind(), kind);
    ASSERT_EQ(e.GetSpawnEntryCount(), v.spawnEntries.size());
    ASSERT_EQ(e.GetTimedEntryCount(), v.timedEntries.size());
    for (size_t i = 0; i < v.spawnEntries.size(); ++i) {
        const FulgorCore::EmitterSpawnEntry* s = e.GetSpawnEntry(static_cast<uint32_t>(i));
        const SpawnEntryValue& sv = v.spawnEntries[i];
        EXPECT_EQ(s->GetTgUI(), FieldOf(sv.fields, "TgUI"));
        EXPECT_EQ(s->GetUST(), FieldOf(sv.fields, "UST"));
        EXPECT_EQ(s->GetLif(), FieldOf(sv.fields, "Lif"));
        EXPECT_EQ(s->GetVNOf(), FieldOf(sv.fields, "VNOf"));
        EXPECT_EQ(s->GetPLNo(), FieldOf(sv.fields, "PLNo"));
        EXPECT_EQ(s->GetFlags(), FieldOf(sv.fields, "bEbl") | FieldOf(sv.fields, "bCVN") << 4);
        EXPECT_EQ(s->GetPacked(), ExpectedWord(testsupport::kSpawnPackedFields, sv.fields));
        EXPECT_EQ(s->GetREI()[2], (*sv.rei)[2]);
    }
    for (size_t i = 0; i < v.timedEntries.size(); ++i) {
        const FulgorCore::EmitterTimedEntry* t = e.GetTimedEntry(static_cast<uint32_t>(i));
        EXPECT_EQ(t->GetGnCn(), *v.timedEntries[i].count);
        EXPECT_EQ(t->GetGnIv(), static_cast<float>(*v.timedEntries[i].interval));
        EXPECT_EQ(t->GetEndFrame(), static_cast<float>(*v.timedEntries[i].endFrame));
        EXPECT_EQ(t->GetVlSc(), *v.timedEntries[i].vlSc);
    }
    EXPECT_EQ(e.GetSpawnEntry(static_cast<uint32_t>(v.spawnEntries.size())), nullptr);
    bool linked = false;
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(e.GetParentLink(i), v.parentLinks[i].value_or(-1));
        linked = linked || v.parentLinks[i].value_or(-1) >= 0;
    }
    EXPECT_EQ(e.HasParentLinks(), linked ? 1u : 0u);
    ExpectTriple(e.GetLRot(), *v.localRotation, where + " LRot");
    const ShapeValue& s = *v.shape;
    auto floatOf = [&](const char* tag) {
        return *std::find_if(s.floats.begin(), s.floats.end(),
                             [&](const auto& f) { return f.first == tag; });
    };
    ExpectFloatProperty(e.GetShapeBase()->GetSpeed(), floatOf("IjSp").second, where + " speed");
    const uint32_t points = static_cast<uint32_t>(s.points->size() / 16);
    switch (kind) {
    case 1:
        EXPECT_EQ(e.GetShape<1>()->GetModelNumber(), *s.model);
        EXPECT_EQ(e.GetShape<1>()->GetGnPT(), FieldOf(s.fields, "GnPT"));
        break;
    case 3:
        ExpectFloatProperty(e.GetShape<3>()->GetInnerRadius(), floatOf("RadI").second, where);
        ExpectFloatProperty(e.GetShape<3>()->GetOuterAngle(), floatOf("InAO").second, where);
        break;
    case 4:
        ExpectFloatProperty(e.GetShape<4>()->GetOuterRadius(), floatOf("RadO").second, where);
        break;
    case 5:
    case 6: {
        const auto* shape = kind == 5 ? e.GetShape<5>() : e.GetShape<6>();
        EXPECT_EQ(shape->GetGnCT(), FieldOf(s.fields, "GnCT"));
        EXPECT_EQ(shape->GetLatitudeDivisions(), *s.latitudeDivisions);
        EXPECT_EQ(shape->GetLongitudeDivisions(), *s.longitudeDivisions);
        EXPECT_EQ(shape->GetPoints().GetCount(), points);
        if (points) {
            EXPECT_EQ(std::memcmp(shape->GetPoints().GetPoint(points - 1),
                                  s.points->data() + (points - 1) * 16, 16),
                      0);
        }
        ExpectFloatProperty(shape->GetRadius(), floatOf("Rad").second, where);
        if (kind == 6)
            ExpectFloatProperty(e.GetShape<6>()->GetLength(), floatOf("Len").second, where);
        break;
    }
    case 7:
        ExpectFloatProperty(e.GetShape<7>()->GetAngle(), floatOf("IjA").second, where);
        EXPECT_EQ(e.GetShape<7>()->GetLongitudeDivisions(), *s.longitudeDivisions);
        break;
    case 8:
        EXPECT_EQ(e.GetShape<8>()->GetWord(), ExpectedWord(testsupport::kShape8Fields, s.fields));
        EXPECT_EQ(e.GetShape<8>()->GetPoints().GetCount(), points);
        ExpectTriple(e.GetShape<8>()->GetSize(), *s.size3, where + " Size");
        break;
    case 9:
        EXPECT_EQ(e.GetShape<9>()->GetWord(), ExpectedWord(testsupport::kShape9Fields, s.fields));
        testsupport::ExpectPair(e.GetShape<9>()->GetSize(), *s.size2, where + " Size");
        break;
    default:
        break;
    }
    // Only the shape getter of its own kind answers.
    EXPECT_EQ(e.GetShape<2>() != nullptr, kind == 2);
}

void ExpectUnit(const FulgorCore::UnitResource& unit, const UnitValue& v,
                const testsupport::FakeObjectListenner& listener, size_t index,
                const std::string& where) {
    SCOPED_TRACE(where);
    EXPECT_EQ(unit.GetFlagsA() & 0x1FFFFFFFu,
              ExpectedWord(testsupport::kUnitFlagFields, v.fields) | (1u << 11));
    EXPECT_EQ(unit.GetFlagAME(), 1u);
    EXPECT_EQ(unit.GetFlagPCo(), FieldOf(v.fields, "bPCo"));
    EXPECT_EQ(unit.GetFlagFGr(), FieldOf(v.fields, "bFGr"));
    EXPECT_EQ(unit.GetBDir(), FieldOf(v.fields, "BDir"));
    EXPECT_EQ(unit.GetColR(), FieldOf(v.fields, "ColR"));
    EXPECT_EQ(unit.GetRUSc(), FieldOf(v.fields, "RUSc"));
    EXPECT_EQ(unit.GetRUCl(), FieldOf(v.fields, "RUCl"));
    EXPECT_EQ(unit.GetRUNo(), *v.resetNumber);
    EXPECT_EQ(unit.GetLife(), static_cast<float>(*v.life));
    EXPECT_EQ(unit.GetLoopEnd(), static_cast<float>(*v.loopEnd));
    EXPECT_STREQ(unit.GetSoundName(), v.sound->c_str());
    EXPECT_EQ(unit.GetSoundParameter(), *v.soundParameter);
    // The listener's handles run from 100 in call order.
    EXPECT_EQ(unit.GetSoundHandle(), 100u + index);
    EXPECT_EQ(listener.soundParameters[index], *v.soundParameter);
    if (v.reference) {
        EXPECT_STREQ(unit.GetReferenceName(), v.reference->c_str());
    } else {
        EXPECT_EQ(unit.GetReferenceName(), nullptr);
    }
    EXPECT_EQ(unit.GetDistanceFade()->GetFarEnd(), v.distanceFade->farEnd);
    EXPECT_EQ(unit.GetAngleFade(), nullptr);
    EXPECT_EQ(std::memcmp(unit.GetUIC1(), v.uic1->data(), 16), 0);
    testsupport::ExpectColor(unit.GetColor(), *v.color, where + " Col");
    ExpectTriple(unit.GetGraG(), v.triples.at("GraG"), where + " GraG");
    ExpectTriple(unit.GetPosition(), v.triples.at("Pos"), where + " Pos");
    ExpectFloatProperty(unit.GetFuCt(), *v.fuCt, where + " FuCt");
    testsupport::ExpectPair(unit.GetVlRt(), *v.vlRt, where + " VlRt");
    // Tracks read with the length and loop flag in force where they stand.
    EXPECT_EQ(unit.GetTrack(1)->GetEntryCount(), 2u);
    EXPECT_EQ(unit.GetTrack(1)->GetLength(), 4.0f);
    EXPECT_TRUE(unit.GetTrack(1)->IsLooping());
    EXPECT_EQ(unit.GetTrack(8)->GetEntryCount(), 3u);
    EXPECT_EQ(unit.GetTrack(8)->GetLength(), 8.0f);
    EXPECT_EQ(unit.GetTrack(0)->GetEntryCount(), 0u);
    EXPECT_EQ(unit.GetTrack(9), nullptr);
    EXPECT_EQ(unit.GetAnimRotation(), 1u);
    EXPECT_EQ(unit.GetAnimScale(), 0u);
    ASSERT_EQ(unit.GetUnitTimelineCount(), v.unitTimelines.size());
    for (size_t i = 0; i < v.unitTimelines.size(); ++i) {
        const FulgorCore::UnitTimelineResource* t = unit.GetUnitTimeline(static_cast<uint32_t>(i));
        const UnitTimelineValue& tv = v.unitTimelines[i];
        ASSERT_EQ(t->GetItemCount(), tv.items.size());
        EXPECT_EQ(t->GetItemMask(), (1u << tv.items.size()) - 1);
        for (size_t k = 0; k < tv.items.size(); ++k)
            EXPECT_EQ(
                std::memcmp(t->GetItem(static_cast<uint32_t>(k))->bytes, tv.items[k].data(), 14),
                0);
        EXPECT_EQ(t->GetItem(static_cast<uint32_t>(tv.items.size())), nullptr);
        EXPECT_STREQ(t->GetLabel(), tv.label->c_str());
        EXPECT_EQ(t->GetOTU(), *tv.otu);
        EXPECT_EQ(t->GetOTD(), *tv.otd);
        EXPECT_EQ(t->GetFlagOTU(), *tv.otuFlag ? 1u : 0u);
        EXPECT_EQ(t->GetLife(), *tv.life);
    }
    EXPECT_EQ(unit.GetUnitTimeline(static_cast<uint32_t>(v.unitTimelines.size())), nullptr);
    if (v.effectPart) {
        ASSERT_EQ(unit.GetEffectPartCount(), 1u);
        const FulgorCore::EffectPartResource* e = unit.GetEffectPart(0);
        EXPECT_EQ(e->GetKind(), *v.effectPart->kind);
        ASSERT_NE(e->GetData(), nullptr);
        if (*v.effectPart->kind == 2) {
            ExpectFloatProperty(e->GetRadiusPair()->GetInnerRadius(), *v.effectPart->innerRadius,
                                where);
            ExpectFloatProperty(e->GetRadiusPair()->GetOuterRadius(), *v.effectPart->outerRadius,
                                where);
        } else {
            EXPECT_EQ(e->GetRadiusPair(), nullptr);
        }
    } else {
        EXPECT_EQ(unit.GetEffectPartCount(), 0u);
        EXPECT_EQ(unit.GetEffectPart(0), nullptr);
    }
}

TEST(PackageRoundTrip, EveryRecordReadsBackWhatTheWriterWrote) {
    for (int round = 0; round < kRounds; ++round) {
        RandomEffectValues r(1000 + round);
        const PackageValue value = RandomPackage(r);
        const std::vector<uint8_t> payload = PackagePayload(value);
        testsupport::RecordingDevice device;
        testsupport::FakeObjectListenner listener;
        testsupport::FakeTexture named(&device.live);
        listener.textures["named"] = &named;
        listener.soundAnswer = 100;
        const std::string where = "round " + std::to_string(round);
        SCOPED_TRACE(where);
        {
            RecordBuild<PackageResource> built(payload, &device, &listener);
            ASSERT_TRUE(built.Built());
            EXPECT_EQ(built.placed, built.measured);
            const PackageResource& p = *built;

            // Counts, flags and floats.
            EXPECT_EQ(p.GetTextureCount(), 3u);
            EXPECT_EQ(p.GetModelCount(), 2u);
            EXPECT_EQ(p.GetBindCount(), 2u);
            EXPECT_EQ(p.GetTimelineCount(), 1u);
            EXPECT_EQ(p.GetUnitCount(), 5u);
            uint32_t counts2 = ExpectedWord(testsupport::kPackageCounts2Fields, value.fields);
            EXPECT_EQ(p.GetDTLT(), (counts2 >> 14) & 15);
            EXPECT_EQ(p.GetPCo2(), (counts2 >> 27) & 7);
            EXPECT_EQ(p.GetFlagDLV(), (counts2 >> 23) & 1);
            const uint32_t flags = ExpectedWord(testsupport::kPackageFlagFields, value.fields);
            EXPECT_EQ(p.GetPCa3(), (flags >> 10) & 3);
            EXPECT_EQ(p.GetFlagFCl(), (flags >> 14) & 1);
            EXPECT_EQ(p.GetFlagPIT(), (flags >> 17) & 1);
            EXPECT_EQ(p.GetELT(), (flags >> 20) & 3);
            EXPECT_EQ(p.UsesProjectionDraw(), 1u);
            EXPECT_EQ(p.UsesOtherDraws(), 1u);
            EXPECT_EQ(p.GetSftP(), value.floats.at("SftP"));
            EXPECT_EQ(p.GetBoundRadius(), value.floats.at("BndR"));
            EXPECT_EQ(p.GetPositionY(), value.floats.at("PvPy"));
            EXPECT_EQ(p.GetColorG(), 0.25f);
            EXPECT_EQ(p.GetColorR(), 1.0f);
            // No rotation: the scale rows are the scales on the diagonal.
            const float* root = p.GetRootTransform();
            EXPECT_FLOAT_EQ(root[0], 2.0f);
            EXPECT_FLOAT_EQ(root[4], 3.0f);
            EXPECT_FLOAT_EQ(root[8], 4.0f);
            EXPECT_EQ(root[10], value.floats.at("PvPy"));
            EXPECT_EQ(p.GetDistanceFade()->GetNearEnd(), 2.0f);
            EXPECT_EQ(p.GetAngleFade()->GetType(), 2u);
            EXPECT_EQ(p.GetAngleFade()->GetYEnd(), 0.8f);
            for (uint32_t i = 0; i < 14; ++i) {
                EXPECT_EQ(p.GetTrigger(i)->timeline, static_cast<int16_t>(i % 2));
                EXPECT_EQ(p.GetTrigger(i)->bind, static_cast<int16_t>(-1 + i % 3));
            }
            EXPECT_EQ(p.GetAssignment(0)->timeline, 0);
            EXPECT_EQ(p.GetAssignment(0)->bind, -1);
            EXPECT_EQ(p.GetAssignment(1)->timeline, -1);

            // Textures from data, by name, none.
            ASSERT_EQ(device.CountCreations(testsupport::RecordingDevice::Kind::Texture, 40, false),
                      1u);
            EXPECT_NE(p.GetTexture(0), nullptr);
            EXPECT_EQ(p.GetTexture(1), &named);
            EXPECT_EQ(named.References(), 2u);
            EXPECT_EQ(p.GetTexture(2), nullptr);
            EXPECT_STREQ(p.GetTextureLabel(0), "glow");
            EXPECT_STREQ(p.GetTextureLabel(1), "");

            // Models: stream 1 as written, stream 2 mirrored.
            const FulgorCore::ModelResource* m = p.GetModel(0);
            ASSERT_NE(m, nullptr);
            EXPECT_EQ(m->GetMeshSet().vertexCount1, 5u);
            EXPECT_EQ(m->GetMeshSet().indexCount1, 9u);
            EXPECT_EQ(m->GetMeshSet().vertexCount2, 3u);
            EXPECT_EQ(m->GetMeshSet().indexCount2, 3u);
            EXPECT_EQ(m->GetEdgeVertexCount(), 4u);
            EXPECT_EQ(m->GetEdgeIndexCount(), 5u);
            EXPECT_EQ(m->GetEdgeIndex(4), (*value.models[0].edgeIndices)[4]);
            EXPECT_EQ(m->GetPointCount(), 4u);
            EXPECT_EQ(m->GetPoint(3), 3u);
            EXPECT_EQ(m->GetLastAreaIndex(), 3u);
            EXPECT_FLOAT_EQ(m->GetTotalArea(), 6.0f * 0.9995f);
            const uint8_t* edge = m->GetEdgeVertex(1);
            const uint8_t* edgeIn = value.models[0].edgeVertices->data() + 16;
            EXPECT_EQ(edge[11], edgeIn[11] ^ 0x80);
            EXPECT_EQ(static_cast<int8_t>(edge[14]),
                      static_cast<int8_t>(-static_cast<int8_t>(edgeIn[14])));
            EXPECT_EQ(edge[0], edgeIn[0]);
            // An empty "VNo" is no table.
            EXPECT_EQ(p.GetModel(1)->GetPointCount(), 0u);
            EXPECT_EQ(p.GetModel(2), nullptr);
            EXPECT_EQ(p.GetModel(-1), nullptr);

            // Binds.
            const FulgorCore::BindResource* b = p.GetBind(0);
            EXPECT_EQ(b->GetBnV1(), 1u);
            EXPECT_EQ(b->GetBRTT(), 3u);
            EXPECT_EQ(b->GetBSTT(), 5u);
            EXPECT_EQ(b->GetLife(), -4);
            ASSERT_EQ(b->GetAttachPointCount(), 2u);
            EXPECT_STREQ(b->GetAttachPoint(1)->GetName(), "hand");
            ExpectFloatProperty(b->GetTrFc(), *value.binds[0].trFc, where + " TrFc");
            EXPECT_EQ(p.GetBind(1)->GetAttachPointCount(), 1u);
            EXPECT_EQ(p.GetBind(1)->GetAttachPoint(1), nullptr);

            // The timeline, its clip and the references: units' names
            // first, then the clip's.
            const FulgorCore::TimelineResource* t = p.GetTimeline(0);
            EXPECT_EQ(t->GetLength(), 120.0f);
            EXPECT_EQ(t->GetLoopStart(), 20.0f);
            EXPECT_EQ(t->GetLoopEnd(), 90.0f);
            ASSERT_EQ(t->GetItemCount(), 2u);
            EXPECT_EQ(t->GetItem(0)->type, 1);
            EXPECT_EQ(t->GetItem(0)->target, 2);
            EXPECT_EQ(t->GetItem(0)->flags, 0xA5);
            EXPECT_EQ(t->GetItem(0)->clipIndex, 0);
            EXPECT_EQ(t->GetItem(0)->bind, -1);
            EXPECT_EQ(t->GetItem(1)->clipIndex, -1);
            EXPECT_EQ(t->GetItem(1)->bind, 1);
            EXPECT_EQ(t->GetClip(1), nullptr);
            EXPECT_EQ(t->GetClip(0)->GetEffectName(), "vfx/clip.vfxb");
            std::vector<std::string> names;
            for (const UnitValue& u : value.units)
                if (u.reference &&
                    std::find(names.begin(), names.end(), *u.reference) == names.end())
                    names.push_back(*u.reference);
            names.push_back("vfx/clip.vfxb");
            ASSERT_EQ(p.GetReferenceCount(), names.size());
            for (size_t i = 0; i < names.size(); ++i) {
                EXPECT_STREQ(p.GetReference(static_cast<uint32_t>(i))->name, names[i].c_str());
                EXPECT_EQ(p.FindReference(names[i].c_str()),
                          &p.GetReference(static_cast<uint32_t>(i))->handle);
            }

            // Units with their parts.
            for (size_t u = 0; u < value.units.size(); ++u) {
                const FulgorCore::UnitResource* unit = p.GetUnit(static_cast<uint32_t>(u));
                const UnitValue& uv = value.units[u];
                const std::string uw = where + " unit " + std::to_string(u);
                SCOPED_TRACE(uw);
                ASSERT_NE(unit, nullptr) << "";
                ExpectUnit(*unit, uv, listener, u, uw);
                ASSERT_EQ(unit->GetDrawPartCount(), uv.drawParts.size()) << "";
                for (size_t d = 0; d < uv.drawParts.size(); ++d) {
                    const uint32_t type = static_cast<uint32_t>(u * 3 + d + 1);
                    const FulgorCore::ParticleResource* part =
                        unit->GetDrawPart(static_cast<uint32_t>(d));
                    ExpectDrawPart(*part, uv.drawParts[d], type,
                                   uw + " draw type " + std::to_string(type));
                    if (type == 4)
                        ExpectType4(*part->GetDrawDataType4(),
                                    std::get<DrawDataType4Value>(uv.drawParts[d].data), uw);
                    if (type == 9) {
                        EXPECT_EQ(part->GetDrawDataType9()->GetSizeY(), 0.5f) << "";
                        EXPECT_EQ(part->GetDrawDataType9()->GetPivot()[2],
                                  *std::get<DrawDataType9Value>(uv.drawParts[d].data).pivotZ)
                            << "";
                    }
                    if (type == 10) {
                        const auto& v10 = std::get<DrawDataType10Value>(uv.drawParts[d].data);
                        EXPECT_EQ(part->GetDrawDataType10()->GetPrjT(), *v10.projectionType) << "";
                        ExpectFloatProperty(part->GetDrawDataType10()->GetRngW(), *v10.rangeW, uw);
                    }
                }
                EXPECT_EQ(unit->GetDrawPart(static_cast<uint32_t>(uv.drawParts.size())), nullptr)
                    << "";
                ASSERT_EQ(unit->GetEmitterPartCount(), uv.emitters.size()) << "";
                for (size_t e = 0; e < uv.emitters.size(); ++e)
                    ExpectEmitter(*unit->GetEmitterPart(static_cast<uint32_t>(e)), uv.emitters[e],
                                  static_cast<uint32_t>(u * 2 + e + 1),
                                  uw + " emitter " + std::to_string(e));
            }
            EXPECT_EQ(p.GetUnit(5), nullptr);

            // One emission table per type-4 part, handed over with the package.
            EXPECT_GT(device.live, 0);
        }
        // Destruction gave back every device object and the named texture's
        // reference.
        EXPECT_EQ(device.live, 1); // the named texture the test owns
        EXPECT_EQ(named.References(), 1u);
    }
}

} // namespace
