// Emitter shapes, models and binds, the draw data of types 4, 9 and 10, and
// the accessor helpers beside them.
#include "effects/Core/Math/Matrix44Copy.h"
#include "effects/Core/Resource/BindResource.h"
#include "effects/Core/Resource/DrawDataType10.h"
#include "effects/Core/Resource/DrawDataType4.h"
#include "effects/Core/Resource/DrawDataType9.h"
#include "effects/Core/Resource/EmissionEntry.h"
#include "effects/Core/Resource/EmitterResource.h"
#include "effects/Core/Resource/ModelResource.h"
#include "effects/Core/Resource/ParticleSetupRecord.h"
#include "effects/Core/Resource/ResolveSizeMode.h"
#include "support/effects/RecordBuild.h"
#include "support/effects/RecordingDevice.h"
#include "tools/effect/PackageWriter.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace effecttools;
using testsupport::RecordBuild;

template <class Write> std::vector<uint8_t> Written(Write write) {
    ChunkWriter w;
    write(w);
    return testsupport::PayloadOf(w.Take());
}

std::vector<uint8_t> EmitterPayload(const EmitterValue& v) {
    return Written([&](ChunkWriter& w) { WriteEmitter(w, v); });
}

std::vector<uint8_t> ModelPayload(const ModelValue& v) {
    return Written([&](ChunkWriter& w) { WriteModel(w, v); });
}

// Emitter shapes -------------------------------------------------------------

TEST(EmitterShape, NoKindOrAKindAboveNineHasNoShape) {
    ShapeValue s;
    s.floats.push_back({"IjSp", Constant(2.0f)});
    for (std::optional<uint32_t> kind : {std::optional<uint32_t>{}, std::optional<uint32_t>{10},
                                         std::optional<uint32_t>{15}, std::optional<uint32_t>{0}}) {
        EmitterValue e;
        e.kind = kind;
        e.shape = s;
        RecordBuild<FulgorCore::EmitterResource> built(EmitterPayload(e));
        ASSERT_TRUE(built.Built());
        EXPECT_EQ(built->GetShapeBase(), nullptr);
        EXPECT_EQ(built.placed, 0u);
    }
}

TEST(EmitterShape, AnEmptyPointTableIsNone) {
    EmitterValue e;
    e.kind = 5;
    e.shape = ShapeValue{};
    e.shape->points = std::vector<uint8_t>{};
    RecordBuild<FulgorCore::EmitterResource> built(EmitterPayload(e));
    const FulgorCore::EmitterShape<5>* shape = built->GetShape<5>();
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(shape->GetPoints().GetCount(), 0u);
    EXPECT_EQ(shape->GetPoints().GetPoint(0), nullptr);
    // 17 bytes are one point.
    e.shape->points = std::vector<uint8_t>(17, 3);
    RecordBuild<FulgorCore::EmitterResource> one(EmitterPayload(e));
    EXPECT_EQ(one->GetShape<5>()->GetPoints().GetCount(), 1u);
    EXPECT_EQ(one->GetShape<5>()->GetPoints().GetPoint(1), nullptr);
}

TEST(EmitterShape, TheLaterOfTheTwoSpeedChunksWins) {
    for (bool injectionFirst : {true, false}) {
        EmitterValue e;
        e.kind = 2;
        e.shape = ShapeValue{};
        const auto first =
            std::make_pair(std::string(injectionFirst ? "IjSp" : "InSp"), Constant(1.0f));
        const auto second =
            std::make_pair(std::string(injectionFirst ? "InSp" : "IjSp"), Constant(2.0f));
        e.shape->floats = {first, second};
        RecordBuild<FulgorCore::EmitterResource> built(EmitterPayload(e));
        const FulgorCore::FloatProperty& speed = built->GetShape<2>()->GetSpeed();
        EXPECT_EQ(speed.EvaluatePlain({0.0f, 0.0f}), 2.0f);
        EXPECT_TRUE(speed.IsConstant());
    }
}

TEST(EmitterShape, ParentLinksSetTheirBitUnlessAllAreNegative) {
    EmitterValue e;
    e.kind = 1;
    e.parentLinks = {int8_t{-1}, int8_t{-1}, int8_t{-1}, int8_t{-1}};
    EXPECT_EQ(RecordBuild<FulgorCore::EmitterResource>(EmitterPayload(e))->HasParentLinks(), 0u);
    e.parentLinks = {};
    EXPECT_EQ(RecordBuild<FulgorCore::EmitterResource>(EmitterPayload(e))->HasParentLinks(), 0u);
    e.parentLinks[3] = int8_t{0};
    RecordBuild<FulgorCore::EmitterResource> linked(EmitterPayload(e));
    EXPECT_EQ(linked->HasParentLinks(), 1u);
    EXPECT_EQ(linked->GetParentLink(3), 0);
    EXPECT_EQ(linked->GetParentLink(0), -1);
}

TEST(EmitterShape, SpawnFlagsKeepBitZeroOrAnyNonzeroValue) {
    EmitterValue e;
    e.kind = 2;
    SpawnEntryValue s;
    // bEbl and ApbS keep bit 0 of 2 (0); bLSF and PLSc take any nonzero value.
    s.fields = {{"bEbl", 2}, {"bLiI", 3}, {"bLSF", 2}, {"ApbS", 2}, {"PLSc", 2}, {"ApCl", 0x1FF}};
    e.spawnEntries.push_back(s);
    RecordBuild<FulgorCore::EmitterResource> built(EmitterPayload(e));
    const FulgorCore::EmitterSpawnEntry* entry = built->GetSpawnEntry(0);
    EXPECT_EQ(entry->GetFlags(), (1u << 1) | (1u << 2));
    EXPECT_EQ(entry->GetPacked(), (1u << 27) | (0xFFu << 8));
}

// Models ---------------------------------------------------------------------

std::vector<uint8_t> TwoVertices() {
    std::vector<uint8_t> v = ModelVertex(1.0f, 2.0f, 3.0f, 10, 250, 1);
    const std::vector<uint8_t> b = ModelVertex(-4.0f, 5.0f, -6.0f, 0, 128, 2);
    v.insert(v.end(), b.begin(), b.end());
    return v;
}

using testsupport::Mirrored;

TEST(Model, VerticesWithoutIndicesMakeNoBuffers) {
    testsupport::RecordingDevice device;
    ModelValue m;
    m.stream1 = VertexStreamValue{TwoVertices(), false, std::nullopt};
    RecordBuild<FulgorCore::ModelResource> built(ModelPayload(m), &device);
    ASSERT_TRUE(built.Built());
    EXPECT_TRUE(device.creations.empty());
    EXPECT_EQ(built->GetMeshSet().vertexBuffer1, nullptr);
    EXPECT_EQ(built->GetMeshSet().vertexCount1, 0u);
    EXPECT_EQ(built->GetMeshSet().indexCount1, 0u);
}

TEST(Model, LeftHandedVerticesDrawAsTheirMirroredRightHandedForm) {
    testsupport::RecordingDevice device;
    const std::vector<uint16_t> indices = {0, 1, 1};
    ModelValue left;
    left.stream1 = VertexStreamValue{TwoVertices(), true, indices};
    ModelValue right;
    right.stream1 = VertexStreamValue{Mirrored(TwoVertices()), false, indices};
    const std::vector<uint8_t> leftPayload = ModelPayload(left);
    const std::vector<uint8_t> image = leftPayload;
    {
        RecordBuild<FulgorCore::ModelResource> a(leftPayload, &device);
        RecordBuild<FulgorCore::ModelResource> b(ModelPayload(right), &device);
        ASSERT_EQ(device.creations.size(), 4u);
        EXPECT_EQ(device.creations[0].initial, device.creations[2].initial);
        EXPECT_EQ(device.creations[0].size, 96u);
        EXPECT_FALSE(device.creations[0].dynamic);
        EXPECT_EQ(device.creations[1].size, 6u);
        EXPECT_EQ(device.creations[1].initial, device.creations[3].initial);
        EXPECT_EQ(a->GetMeshSet().vertexCount1, 2u);
        EXPECT_EQ(a->GetMeshSet().indexCount1, 3u);
        EXPECT_EQ(device.live, 4);
    }
    EXPECT_EQ(leftPayload, image);
    EXPECT_EQ(device.live, 0);
}

// The second stream ("VxML") is mirrored the same way into its own pair of
// buffers; the first stream, right-handed here, is taken as it is.
TEST(Model, LeftHandedSecondStreamVerticesAreMirroredToo) {
    testsupport::RecordingDevice device;
    ModelValue m;
    m.stream1 = VertexStreamValue{TwoVertices(), false, std::vector<uint16_t>{0, 1, 0}};
    m.stream2 = VertexStreamValue{TwoVertices(), true, std::vector<uint16_t>{1, 0}};
    const std::vector<uint8_t> payload = ModelPayload(m);
    const std::vector<uint8_t> image = payload;
    {
        RecordBuild<FulgorCore::ModelResource> built(payload, &device);
        ASSERT_TRUE(built.Built());
        ASSERT_EQ(device.creations.size(), 4u);
        EXPECT_EQ(device.creations[0].initial, TwoVertices());
        EXPECT_EQ(device.creations[2].initial, Mirrored(TwoVertices()));
        EXPECT_EQ(device.creations[2].size, 96u);
        EXPECT_EQ(device.creations[3].size, 4u);
        const FulgorCore::MeshSet& mesh = built->GetMeshSet();
        EXPECT_NE(mesh.vertexBuffer2, nullptr);
        EXPECT_NE(mesh.vertexBuffer2, mesh.vertexBuffer1);
        EXPECT_EQ(mesh.vertexCount2, 2u);
        EXPECT_EQ(mesh.indexCount2, 2u);
        // The mirrored copy is the one in the block.
        EXPECT_EQ(built.measured, 96u);
    }
    EXPECT_EQ(payload, image) << "the file bytes stay as they were";
    EXPECT_EQ(device.live, 0);
}

TEST(Model, WithoutPointNumbersPointIIsI) {
    ModelValue m;
    m.edgeVertices = std::vector<uint8_t>(16 * 3, 1);
    RecordBuild<FulgorCore::ModelResource> plain(ModelPayload(m));
    EXPECT_EQ(plain->GetPointCount(), 3u);
    EXPECT_EQ(plain->GetPoint(2), 2u);
    m.pointNumbers = std::vector<uint16_t>{2, 0};
    RecordBuild<FulgorCore::ModelResource> numbered(ModelPayload(m));
    EXPECT_EQ(numbered->GetPointCount(), 2u);
    EXPECT_EQ(numbered->GetPoint(0), 2u);
    EXPECT_EQ(numbered->GetPoint(1), 0u);
}

TEST(Model, PlainEdgeVerticesAreCopiedAsTheyAre) {
    for (const char* tag : {"VxE", "VxER"}) {
        ModelValue m;
        m.edgeVertices = std::vector<uint8_t>(16 * 2);
        for (size_t i = 0; i < m.edgeVertices->size(); ++i)
            (*m.edgeVertices)[i] = static_cast<uint8_t>(i * 5 + 1);
        m.edgeTag = tag;
        RecordBuild<FulgorCore::ModelResource> built(ModelPayload(m));
        ASSERT_EQ(built->GetEdgeVertexCount(), 2u) << tag;
        EXPECT_EQ(std::memcmp(built->GetEdgeVertex(0), m.edgeVertices->data(), 32), 0) << tag;
        EXPECT_TRUE(built.InBlock(built->GetEdgeVertex(1))) << tag;
    }
}

TEST(Model, IndicesWithoutVerticesMakeNothingAndLoad) {
    testsupport::RecordingDevice device;
    const std::vector<uint8_t> payload = Written([](ChunkWriter& w) {
        const uint16_t i[3] = {0, 7, 9};
        w.Begin("Mdl").Bytes("IxD", i, 6).End();
    });
    RecordBuild<FulgorCore::ModelResource> built(payload, &device);
    ASSERT_TRUE(built.Built());
    EXPECT_TRUE(device.creations.empty());
}

TEST(Model, TheLaterOfAreaAndTotalAreaWins) {
    ModelValue m;
    m.areas = std::vector<float>{0.0f, 2.0f, 4.0f};
    m.totalArea = 10.0f;
    EXPECT_EQ(RecordBuild<FulgorCore::ModelResource>(ModelPayload(m))->GetTotalArea(), 10.0f);
    m.totalAreaFirst = true;
    EXPECT_EQ(RecordBuild<FulgorCore::ModelResource>(ModelPayload(m))->GetTotalArea(),
              4.0f * 0.9995f);
}

TEST(Model, AnAreaTableUnderOneEntryIsNoTable) {
    const std::vector<uint8_t> payload =
        Written([](ChunkWriter& w) { w.Begin("Mdl").Bytes("Area", "\0\0\x80", 3).End(); });
    RecordBuild<FulgorCore::ModelResource> built(payload);
    ASSERT_TRUE(built.Built());
    EXPECT_EQ(built->GetAreaTable(), nullptr);
    EXPECT_EQ(built->GetLastAreaIndex(), 0u);
    FulgorCore::Xorshift128 state;
    EXPECT_EQ(built->RandomSurfaceTriangle(state), 0u);
}

TEST(Model, RandomTrianglesFallInProportionToTheirAreas) {
    ModelValue m;
    // Triangles of area 1, 2 and 3 as a cumulative table from 0.
    m.areas = std::vector<float>{0.0f, 1.0f, 3.0f, 6.0f};
    RecordBuild<FulgorCore::ModelResource> built(ModelPayload(m));
    FulgorCore::Xorshift128 state;
    state.Seed(99);
    int counts[4] = {};
    constexpr int kDraws = 100000;
    for (int i = 0; i < kDraws; ++i) {
        const uint32_t t = built->RandomSurfaceTriangle(state);
        ASSERT_LT(t, 4u);
        ++counts[t];
    }
    // The table's total is shrunk by 0.9995, so the last triangle loses a
    // sliver: shares 1, 2 and 2.997 of 5.997.
    const double total = 6.0 * 0.9995;
    EXPECT_NEAR(counts[0] / double(kDraws), 1.0 / total, 0.006);
    EXPECT_NEAR(counts[1] / double(kDraws), 2.0 / total, 0.006);
    EXPECT_NEAR(counts[2] / double(kDraws), (total - 3.0) / total, 0.006);
    EXPECT_LT(counts[3], 5);
}

TEST(Model, ADrawAtZeroWrapsToTheLastTriangle) {
    ModelValue m;
    m.areas = std::vector<float>{0.0f, 1.0f, 3.0f, 6.0f};
    m.totalArea = 0.0f;
    RecordBuild<FulgorCore::ModelResource> built(ModelPayload(m));
    FulgorCore::Xorshift128 state;
    // r = 0 is not above the first entry: 65535 modulo 4.
    EXPECT_EQ(built->RandomSurfaceTriangle(state), 65535u % 4u);
}

// Binds ----------------------------------------------------------------------

TEST(Bind, BnV1ChoosesOneTwoOrNoAttachPoints) {
    for (uint16_t mode : {0, 1, 2, 5}) {
        BindValue b;
        b.mode = mode;
        RecordBuild<FulgorCore::BindResource> built(
            Written([&](ChunkWriter& w) { WriteBind(w, b); }));
        EXPECT_EQ(built->GetAttachPointCount(), mode == 0 ? 1u : mode == 1 ? 2u : 0u) << mode;
        EXPECT_EQ(built->GetBnV1(), mode & 3u) << mode;
    }
}

// Draw data of types 4, 9 and 10 ---------------------------------------------

std::vector<uint8_t> Type4Payload(const DrawDataType4Value& v) {
    return Written([&](ChunkWriter& w) { WriteDrawData(w, v); });
}

// The field offsets the seeding gives, worked out from the file format:
// m_i = 1812433253 (m_(i-1) ^ (m_(i-1) >> 30)) + i, then three xorshift128
// steps, each word's low 23 bits as a mantissa of [1, 2), minus 1, times 256.
void ExpectedOffsets(uint32_t seed, float out[3]) {
    uint32_t s[4];
    uint32_t m = seed;
    for (uint32_t i = 0; i < 4; ++i) {
        m = 1812433253u * (m ^ (m >> 30)) + (i + 1);
        s[i] = m;
    }
    for (int k = 0; k < 3; ++k) {
        const uint32_t t = s[0] ^ (s[0] << 11);
        s[0] = s[1];
        s[1] = s[2];
        s[2] = s[3];
        s[3] = s[3] ^ (s[3] >> 19) ^ t ^ (t >> 8);
        const uint32_t bits = (s[3] & 0x7FFFFFu) | 0x3F800000u;
        float f;
        std::memcpy(&f, &bits, 4);
        out[k] = (f - 1.0f) * 256.0f;
    }
}

TEST(DrawDataType4, WithoutASeedItSeedsFrom12345EveryLoad) {
    float expected[3];
    ExpectedOffsets(12345, expected);
    for (int load = 0; load < 2; ++load) {
        RecordBuild<FulgorCore::DrawDataType4> built(Type4Payload({}));
        ASSERT_TRUE(built.Built());
        for (uint32_t i = 0; i < 3; ++i) {
            EXPECT_EQ(built->GetFieldOffset(i), expected[i]) << i;
            EXPECT_GE(built->GetFieldOffset(i), 0.0f);
            EXPECT_LT(built->GetFieldOffset(i), 256.0f);
        }
    }
    DrawDataType4Value seeded;
    seeded.seed = 777;
    ExpectedOffsets(777, expected);
    RecordBuild<FulgorCore::DrawDataType4> other(Type4Payload(seeded));
    EXPECT_EQ(other->GetFieldOffset(2), expected[2]);
}

TEST(DrawDataType4, IntervalTimesTenEqualsTheIntervalAsIs) {
    DrawDataType4Value a;
    a.crIv = 3;
    DrawDataType4Value b;
    b.fields = {{"CrI2", 30}};
    RecordBuild<FulgorCore::DrawDataType4> ba(Type4Payload(a));
    RecordBuild<FulgorCore::DrawDataType4> bb(Type4Payload(b));
    EXPECT_EQ(ba->GetCountField(FulgorCore::DrawDataType4::kInterval), 30u);
    EXPECT_EQ(ba->GetCountWord(), bb->GetCountWord());
}

TEST(DrawDataType4, NoBatchesOrNegativeBatchesMakeNoTable) {
    for (int16_t batches : {int16_t{0}, int16_t{-2}, int16_t{-32768}}) {
        DrawDataType4Value v;
        v.fields = {{"CrCt", 4095}};
        v.bpCt = batches;
        RecordBuild<FulgorCore::DrawDataType4> built(Type4Payload(v));
        ASSERT_TRUE(built.Built()) << batches;
        EXPECT_EQ(built->GetEmissionTable(), nullptr) << batches;
        EXPECT_EQ(built->GetEmissionEntryCount(), 0u) << batches;
        EXPECT_EQ(built.placed, 0u) << batches;
    }
    DrawDataType4Value v;
    v.fields = {{"CrCt", 3}};
    v.bpCt = 2;
    RecordBuild<FulgorCore::DrawDataType4> built(Type4Payload(v));
    EXPECT_EQ(built->GetEmissionEntryCount(), 6u);
    EXPECT_EQ(built.placed, 656u); // 6 entries of 108 bytes, rounded to 16
}

TEST(DrawDataType4, AZeroFieldAreaIsTakenAsOne) {
    DrawDataType4Value v;
    v.floats = {{"FArX", 0.0f}, {"FFrX", 2.0f}, {"FArZ", 4.0f}, {"FFrZ", 2.0f}};
    RecordBuild<FulgorCore::DrawDataType4> built(Type4Payload(v));
    EXPECT_EQ(built->GetFieldScale(0), 512.0f);
    EXPECT_EQ(built->GetFieldScale(1), 256.0f);
    EXPECT_EQ(built->GetFieldScale(2), 128.0f);
}

TEST(DrawDataType4, TAKIsClearedWithoutTCAI) {
    DrawDataType4Value v;
    v.fields = {{"bTAK", 1}};
    EXPECT_EQ(RecordBuild<FulgorCore::DrawDataType4>(Type4Payload(v))->GetFlagWord(), 0u);
    v.fields.push_back({"TCAI", 2});
    EXPECT_EQ(RecordBuild<FulgorCore::DrawDataType4>(Type4Payload(v))->GetFlagWord(),
              (1u << 19) | (2u << 8));
}

TEST(DrawDataType9, WithoutASizeItIsHalfByHalf) {
    RecordBuild<FulgorCore::DrawDataType9> built(
        Written([](ChunkWriter& w) { WriteDrawData(w, DrawDataType9Value{}); }));
    EXPECT_EQ(built->GetSizeX(), 0.5f);
    EXPECT_EQ(built->GetSizeY(), 0.5f);
    EXPECT_EQ(built->GetPivot()[0], 0.0f);
}

TEST(DrawDataType10, RangeRCarriesItsConstancyFlags) {
    DrawDataType10Value v;
    v.projectionType = 7;
    v.rangeR = Constant(1.0f);
    RecordBuild<FulgorCore::DrawDataType10> built(
        Written([&](ChunkWriter& w) { WriteDrawData(w, v); }));
    EXPECT_EQ(built->GetPrjT(), 3u);
    EXPECT_TRUE(built->GetRngR().IsOne());
    EXPECT_TRUE(built->GetRngR().IsConstant());
    EXPECT_TRUE(built->GetRngW().IsZero());
}

// Accessor helpers -----------------------------------------------------------

TEST(ResolveSizeMode, EachModeGivesItsSizeAndAspect) {
    using FulgorCore::ResolveSizeMode;
    EXPECT_EQ(ResolveSizeMode(8, 2, 1).size, 2.0f);
    EXPECT_EQ(ResolveSizeMode(8, 2, 1).aspect, 4.0f);
    EXPECT_EQ(ResolveSizeMode(8, 2, 2).size, 2.0f);
    EXPECT_EQ(ResolveSizeMode(8, 2, 2).aspect, 1.0f);
    for (float w : {0.0f, 8.0f, -3.0f}) {
        EXPECT_EQ(ResolveSizeMode(w, 5, 3).size, -1.0f);
        EXPECT_EQ(ResolveSizeMode(w, 5, 3).aspect, 1.0f);
    }
    for (uint32_t mode : {0u, 4u, 99u}) {
        EXPECT_EQ(ResolveSizeMode(8, 2, mode).size, 8.0f);
        EXPECT_EQ(ResolveSizeMode(8, 2, mode).aspect, 1.0f);
    }
}

TEST(RecordCopies, FieldsAreCopiedOneByOne) {
    FulgorCore::EmissionEntry entry;
    entry.fields = 0xFFFFFFFFu;
    entry.birthOffset[0] = 1.0f;
    entry.spare[1] = 5.0f;
    entry.random[3][2] = 76.0f;
    const FulgorCore::EmissionEntry copy(entry);
    EXPECT_EQ(copy.fields, 0xFFFFu);
    EXPECT_EQ(copy.random[3][2], 76.0f);
    EXPECT_EQ(copy.spare[1], 5.0f);
    EXPECT_EQ(copy.birthOffset[0], 1.0f);

    FulgorCore::ParticleSetupRecord setup;
    setup.fields = 0xFFFFFFFFu;
    setup.words[46] = 5;
    FulgorCore::ParticleSetupRecord out;
    out.fields = 0xFFFFFFFFu;
    FulgorCore::ParticleSetupRecordCopy(out, setup);
    EXPECT_EQ(out.fields, 0x3FFFFu);
    EXPECT_EQ(out.words[46], 5u);

    float m[16];
    float n[16] = {};
    for (int i = 0; i < 16; ++i)
        m[i] = static_cast<float>(i) - 7.5f;
    FulgorCore::Matrix44Copy(n, m);
    EXPECT_EQ(std::memcmp(m, n, sizeof(m)), 0);
}

} // namespace
