// The draw units' submissions through the renderer: what circles, quads
// and particle fields reserve and how the fields split into commands, the
// render commands of meshes, models and projections, a failed buffer map
// under the field's lines, and one instance of every kind drawn whole into
// the recording device.
#include "support/effects/CallLogDevice.h"
#include "support/effects/DrawUnitRig.h"
#include "support/effects/EffectFiles.h"
#include "support/effects/GeometryMembers.h"
#include "support/effects/RenderRig.h"

#include "effects/drawunits/DrawUnitType13.h"
#include "effects/drawunits/DrawUnitType4.h"
#include "effects/drawunits/ModelDrawUnit.h"
#include "effects/drawunits/PointHistoryEntry.h"
#include "effects/drawunits/ProjectionDrawUnit.h"
#include "effects/drawunits/StripDrawUnit.h"
#include "effects/render/DrawRecord.h"
#include "effects/render/Renderer.h"
#include "effects/render/RendererWorkData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace Fx = FulgorCore;
namespace Renderer = FulgorCore::Renderer;
namespace geometry = testsupport::geometry;
using testsupport::CallLogDevice;
using testsupport::RenderRig;

constexpr uint32_t kMeshState = testsupport::kIndexedBatchState | (1u << 4);
constexpr float kWhite[4] = {1, 1, 1, 1};
constexpr uint32_t kFieldItems = 70;

float HalfOffset(const Fx::DrawUnit*) {
    return 0.5f;
}

// Particle fields: 0 lines, 1 quads facing the camera, 2 quads without.
effecttools::EffectFileValue FieldEffect() {
    std::vector<effecttools::DrawPartValue> parts;
    const uint32_t kinds[3][2] = {{0, 0}, {2, 1}, {2, 0}};
    for (const auto& [mode, billboard] : kinds) {
        effecttools::DrawDataType4Value field;
        field.fields = {{"DTyp", mode}, {"CrCt", 1}, {"Life", 1000}, {"bOBD", billboard}};
        field.bpCt = 1;
        parts.push_back({});
        parts.back().data = field;
    }
    return testsupport::DrawEffect(parts, 0);
}

// A rig on the call-log device with the field effect loaded and one
// instance; the seam's submit and flush counted on the way through.
struct Stage {
    Stage() {
        ok = rig.Start() && (package = rig.Load(testsupport::Write(FieldEffect()))) != nullptr;
        if (!ok)
            return;
        instance = &rig.AddInstance(1);
        Fx::DrawRenderer& r = Fx::DrawRenderer::Current();
        saved = r;
        current = this;
        r.submit = [](Fx::Job* job) {
            current->submitted.push_back(job);
            current->saved.submit(job);
        };
        r.flushBatches = [] {
            ++current->flushes;
            current->saved.flushBatches();
        };
    }
    ~Stage() {
        if (ok)
            Fx::DrawRenderer::Current() = saved;
        current = nullptr;
    }

    template <class T, class... Args> T* Add(const Fx::ParticleResource* data, Args&&... args) {
        T* unit = rig.AddDrawUnit(
            *instance, Fx::DrawUnit::Create<T>(rig.Owner(), data, std::forward<Args>(args)...));
        if (unit)
            unit->renderBlock->biasFunction = HalfOffset;
        return unit;
    }
    // A field of 70 prepared items, 64 or 192 bytes each, item i filled
    // with byte i + 1.
    Fx::DrawUnitType4* Field(uint32_t part) {
        auto* u = Add<Fx::DrawUnitType4>(package->GetUnit(part)->GetDrawPart(0));
        const uint32_t bytes =
            u->quads ? Fx::DrawUnitType4::kQuadVertexBytes : Fx::DrawUnitType4::kLineVertexBytes;
        prepared.resize(kFieldItems * bytes);
        for (uint32_t i = 0; i < kFieldItems; ++i)
            std::fill_n(prepared.begin() + i * bytes, bytes, static_cast<uint8_t>(i + 1));
        u->prepared = prepared.data();
        u->pointCount = kFieldItems;
        u->stateWord = u->quads ? testsupport::kParticleBatchState : testsupport::kVertexBatchState;
        return u;
    }
    // The items of each prepared command submitted.
    std::vector<uint32_t> ItemCounts() const {
        std::vector<uint32_t> counts;
        for (Fx::Job* job : submitted)
            counts.push_back(static_cast<Fx::PreparedDrawCommand*>(job)->payload.itemCount);
        return counts;
    }
    bool Logged(const std::string& line) const {
        return std::find(device.calls.begin(), device.calls.end(), line) != device.calls.end();
    }
    // A layer open with the instance's draw record, outside DrawLayer.
    static void Open() {
        Renderer::ResetDrawState();
        Renderer::BeginFrame(0);
        Renderer::AddDrawRecord(kWhite, 0.0f, 0, nullptr, nullptr, nullptr);
    }
    static Fx::RendererWorkData& Work() { return *Renderer::GetWorkData(); }

    CallLogDevice device;
    RenderRig rig{device};
    const Fx::PackageResource* package = nullptr;
    RenderRig::Instance* instance = nullptr;
    bool ok = false;
    std::vector<uint8_t> prepared;
    std::vector<Fx::Job*> submitted;
    int flushes = 0;
    Fx::DrawRenderer saved{};
    static inline Stage* current = nullptr;
};

template <uint32_t N> Fx::CircleDrawUnit<N>* AddCircle(Stage& s, int32_t n) {
    auto* c = s.Add<Fx::CircleDrawUnit<N>>(s.rig.PlainData(), 0.0f);
    c->writeRim = geometry::UnitCircleRim<N>;
    c->stateWord = testsupport::kIndexedBatchState;
    c->segmentCount = n;
    c->vertexCount = n + 1;
    const float m[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 10, 0, 0};
    std::memcpy(c->record->matrix, m, sizeof m);
    const uint16_t red[4] = {1000, 0, 0, 1000};
    std::memcpy(c->record->color, red, sizeof red);
    return c;
}

struct SubmissionRow {
    const char* name;
    std::function<void(Stage&)> run;
};

TEST(DrawSubmission, UnitsReserveAndSplitAsTheirTypesSay) {
    const SubmissionRow rows[] = {
        {"a circle of 64 segments reserves 65 vertices and 192 indices, of 3 four and 9",
         [](Stage& s) {
             auto* circle = AddCircle<1>(s, 64);
             s.rig.DrawFrame();
             EXPECT_TRUE(s.Logged("DrawIndexed 1 0 192 65"));
             circle->segmentCount = 3;
             circle->vertexCount = 4;
             s.device.ClearLog();
             s.rig.DrawFrame();
             EXPECT_TRUE(s.Logged("DrawIndexed 1 0 9 4"));
             // Without a rim writer nothing is reserved.
             circle->writeRim = nullptr;
             s.device.ClearLog();
             s.rig.DrawFrame();
             EXPECT_FALSE(s.Logged("DrawIndexed 1 0 9 4"));
         }},
        {"70 lines (16384-byte buffers, 256 items each) go in commands of 32, 32, 6",
         [](Stage& s) {
             s.Field(0);
             s.rig.DrawFrame();
             EXPECT_EQ(s.ItemCounts(), (std::vector<uint32_t>{32, 32, 6}));
             EXPECT_TRUE(s.Logged("Draw 0 140"));
             const auto* vb = static_cast<const testsupport::FakeVertexBuffer*>(
                 Stage::Work().vertexPool.entries[0].buffer);
             EXPECT_TRUE(std::equal(s.prepared.begin(), s.prepared.end(), vb->bytes.begin()));
         }},
        {"70 quads (85 to a vertex buffer, 170 to an index buffer) go in 32, 32, 6",
         [](Stage& s) {
             s.Field(1);
             s.rig.DrawFrame();
             EXPECT_EQ(s.ItemCounts(), (std::vector<uint32_t>{32, 32, 6}));
             EXPECT_TRUE(s.Logged("DrawIndexed 1 0 420 280"));
         }},
        {"a quad field whose billboard bit differs from the flag flushes once",
         [](Stage& s) {
             Fx::DrawUnitType4* field = s.Field(2);
             Stage::Open();
             ASSERT_EQ(Stage::Work().billboard, 1);
             field->Draw();
             EXPECT_EQ(s.flushes, 1);
             EXPECT_EQ(Stage::Work().billboard, 0);
             field->Draw();
             EXPECT_EQ(s.flushes, 1);
             Renderer::CommitDirtyRanges();
         }},
        {"a quad reservation refused on the first batch takes nothing from the record area",
         [](Stage& s) {
             Fx::DrawUnitType4* field = s.Field(1);
             Stage::Open();
             Stage::Work().exhausted = 1;
             const uint32_t top = Stage::Work().records.usedTop;
             field->Draw();
             EXPECT_EQ(Stage::Work().records.usedTop, top);
             EXPECT_TRUE(s.submitted.empty());
             Renderer::CommitDirtyRanges();
         }},
        {"copies of 32 items: 2048 bytes and no index, or 192 indices and 6144 bytes",
         [](Stage&) {
             std::vector<uint8_t> source(32 * 192);
             for (size_t i = 0; i < source.size(); ++i)
                 source[i] = static_cast<uint8_t>(i % 251 + 1);
             for (const bool quads : {false, true}) {
                 std::vector<uint8_t> to(8192, 0xCD);
                 std::vector<uint16_t> indices(256, 0xCDCD);
                 Fx::PreparedPayload p{to.data(), source.data(), indices.data(), 100, 32};
                 if (quads)
                     Fx::DrawUnitType4::CopyDrawQuads(nullptr, p);
                 else
                     Fx::DrawUnitType4::CopyPreparedVertices(nullptr, p);
                 const size_t bytes = quads ? 6144 : 2048;
                 EXPECT_TRUE(std::equal(to.begin(), to.begin() + bytes, source.begin()));
                 EXPECT_EQ(to[bytes], 0xCD);
                 const size_t written = quads ? 192 : 0;
                 EXPECT_EQ(indices[written], 0xCDCD);
                 if (quads) {
                     // Quad 31 from vertex 100 + 124.
                     const uint16_t last[6] = {226, 225, 224, 227, 225, 226};
                     for (int i = 0; i < 6; ++i)
                         EXPECT_EQ(indices[186 + i], last[i]) << i;
                 }
             }
         }},
        {"meshes, models and projections hand over their record's fields in order",
         [](Stage& s) {
             testsupport::FakeVertexBuffer vb(nullptr);
             testsupport::FakeIndexBuffer ib(nullptr);
             auto* mesh =
                 s.Add<Fx::DrawUnitType13<2>>(s.rig.PlainData(), Fx::DrawUnitType13Base::Values{});
             mesh->mesh = {&vb, &ib, 3, 6};
             mesh->screenPosition = 1;
             mesh->evaluatorFlag = 1;
             Fx::ModelDrawUnitBase::Values modelValues;
             auto* model = s.Add<Fx::ModelDrawUnit<3>>(s.rig.PlainData(), modelValues);
             Fx::MeshSet set{&vb, &ib, 4, 12};
             model->Record()->modelA = model->Record()->modelB = &set;
             auto* volume = s.Add<Fx::ProjectionDrawUnit<1>>(s.rig.PlainData(),
                                                             Fx::ProjectionDrawUnit<1>::Values{});
             for (Fx::DrawUnit* u : std::initializer_list<Fx::DrawUnit*>{mesh, model, volume})
                 u->stateWord = kMeshState;
             Stage::Open();
             mesh->Draw();
             model->Draw();
             volume->Draw();
             const Fx::DrawRecord* record = Stage::Work().currentRecord;
             const auto* m = reinterpret_cast<const Fx::ModelCommand*>(record->firstCommand);
             ASSERT_NE(m, nullptr);
             const Fx::MeshRenderRecord<2>& r = *mesh->Record();
             EXPECT_EQ(m->header.type, Fx::kModelCommand);
             EXPECT_EQ(m->vertexBuffer, &vb);
             EXPECT_EQ(m->vertexCount, 3u);
             EXPECT_EQ(m->indexBuffer, &ib);
             EXPECT_EQ(m->indexCount, 6u);
             EXPECT_EQ(m->textureRegisters, 4u);
             EXPECT_EQ(m->worldMatrix, r.matrix);
             EXPECT_EQ(m->uvTransforms, r.transforms);
             EXPECT_EQ(m->screenPosition, 1);
             EXPECT_EQ(m->header.stateWord, kMeshState);
             EXPECT_EQ(m->baseColor, r.color);
             EXPECT_EQ(m->vertexParameters, &r.polygonOffset);
             EXPECT_EQ(m->pixelParameters, r.shaderParameters);
             EXPECT_EQ(m->falloff, r.falloff);
             const auto* n = reinterpret_cast<const Fx::ModelCommand*>(m->header.next);
             ASSERT_NE(n, nullptr);
             const Fx::MeshRenderRecord<3>& q = *model->Record();
             EXPECT_EQ(n->indexCount, 12u);
             EXPECT_EQ(n->textureRegisters, 6u);
             EXPECT_EQ(n->worldMatrix, q.matrix);
             EXPECT_EQ(n->vertexParameters, &q.polygonOffset);
             EXPECT_EQ(n->falloff, nullptr);
             EXPECT_EQ(n->specular, q.specular);
             EXPECT_EQ(n->pointLights, s.rig.Owner()->GetSharedBlock());
             const auto* p = reinterpret_cast<const Fx::ProjectionCommand*>(n->header.next);
             ASSERT_NE(p, nullptr);
             EXPECT_EQ(p->header.type, Fx::kProjectionCommand);
             EXPECT_EQ(p->textureRegisters, 2u);
             EXPECT_EQ(p->worldMatrix, volume->record->matrix);
             EXPECT_EQ(p->uvTransforms, volume->record->transforms);
             EXPECT_EQ(p->baseColor, volume->record->color);
             EXPECT_EQ(p->vertexParameters, volume->record->slot);
             EXPECT_EQ(p->pixelParameters, volume->record->shaderParameters);
             EXPECT_EQ(p->header.next, nullptr);
             // An empty mesh or a missing second model issues nothing.
             mesh->mesh.indexCount1 = 0;
             model->Record()->modelB = nullptr;
             mesh->Draw();
             model->Draw();
             EXPECT_EQ(p->header.next, nullptr);
             Renderer::CommitDirtyRanges();
         }},
    };
    for (const SubmissionRow& row : rows) {
        SCOPED_TRACE(row.name);
        Stage stage;
        ASSERT_TRUE(stage.ok);
        row.run(stage);
    }
}

// A vertex buffer whose lock failed leaves no write pointer: the field's
// lines take the next buffer instead, and with none left they draw
// nothing, never writing through the missing pointer.
TEST(DrawSubmission, FieldLinesAfterAFailedMapTakeTheNextBufferOrNone) {
    for (const int failures : {1, 1000}) {
        SCOPED_TRACE(failures);
        Stage s;
        ASSERT_TRUE(s.ok);
        s.Field(0);
        s.device.failVertexLocks = failures;
        s.rig.DrawFrame();
        if (failures == 1) {
            EXPECT_TRUE(s.Logged("SetVertexBuffer 0 vb1 0 32"));
            EXPECT_TRUE(s.Logged("Draw 0 140"));
            const auto* vb = static_cast<const testsupport::FakeVertexBuffer*>(
                Stage::Work().vertexPool.entries[1].buffer);
            EXPECT_TRUE(std::equal(s.prepared.begin(), s.prepared.end(), vb->bytes.begin()));
        } else {
            EXPECT_TRUE(s.submitted.empty());
            EXPECT_FALSE(s.Logged("Draw 0 140"));
        }
    }
}

// One instance holding a circle, a quad, a ring and a history strip of
// format 0 under one state, then a model, a mesh and a projection volume
// under another, drawn through DrawLayer: one batch of the four shapes
// (their vertices and indices as computed by hand), then the three render
// commands with their record's values.
TEST(DrawSubmission, AnInstanceOfEveryKindDrawsTheseBuffersAndCalls) {
    Stage s;
    ASSERT_TRUE(s.ok);
    const uint32_t shapes = testsupport::kIndexedBatchState;
    const uint8_t circleBytes[4] = {1, 2, 3, 4};
    auto* circle = AddCircle<0>(s, 4);
    std::memcpy(circle->parameters, circleBytes, 4);

    auto* quad = s.Add<Fx::QuadDrawUnit<0>>(s.rig.PlainData());
    quad->computeCorners = geometry::SquareCorners<0>;
    const float at20[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 20, 0, 0};
    std::memcpy(quad->record->matrix, at20, sizeof at20);
    const uint16_t green[4] = {0, 1000, 0, 1000};
    std::memcpy(quad->record->color, green, sizeof green);
    std::memcpy(quad->parameters, circleBytes, 4);

    Fx::RingDrawUnit::Values ringValues;
    ringValues.segmentCount = 4;
    ringValues.ops = geometry::RingMembers<0>();
    auto* ring = s.Add<Fx::RingDrawUnit>(s.rig.PlainData(), ringValues);
    const float outer[15] = {31, 0, 0, 30, 1, 0, 29, 0, 0, 30, -1, 0, 31, 0, 0};
    const float inner[15] = {30.5f, 0, 0, 30, 0.5f, 0, 29.5f, 0, 0, 30, -0.5f, 0, 30.5f, 0, 0};
    ring->record->outer = outer;
    ring->record->inner = inner;
    const uint16_t blue[4] = {0, 0, 1000, 1000};
    std::memcpy(ring->record->colors[0], blue, sizeof blue);
    const uint8_t ringBytes[4] = {5, 6, 7, 8};
    std::memcpy(ring->parameters, ringBytes, 4);

    Fx::StripDrawUnitBase::Values stripValues;
    stripValues.pointSource = Fx::StripDrawUnitBase::kDataPoints;
    stripValues.ops = geometry::StripMembers<0, Fx::History>();
    auto* strip = s.Add<Fx::StripDrawUnit<0>>(s.rig.PlainData(), stripValues);
    std::vector<Fx::PointHistoryEntry> nodes(4);
    const float distances[4] = {0, 1, 2, 4};
    for (uint32_t i = 0; i < 4; ++i) {
        nodes[i].position[0] = 40.0f + static_cast<float>(i);
        nodes[i].position[2] = -10.0f;
        nodes[i].axis[0] = -1.0f;
        nodes[i].distance = distances[i];
        nodes[i].next = i < 3 ? &nodes[i + 1] : nullptr;
    }
    strip->firstNode = &nodes[0];
    strip->newestNode = &nodes[3];
    strip->segmentCount = 3;
    Fx::StripFrameRecord& sr = *strip->record;
    sr.headWidth = 0.25f;
    sr.tailWidth = 0.75f;
    const float white[4] = {1, 1, 1, 1}, fade[4] = {0, 0, 0, -1};
    std::memcpy(sr.centreColor, white, sizeof white);
    std::memcpy(sr.firstDelta, fade, sizeof fade);
    const uint8_t stripBytes[4] = {9, 10, 11, 12};
    std::memcpy(sr.parameters, stripBytes, 4);
    for (Fx::DrawUnit* u : std::initializer_list<Fx::DrawUnit*>{circle, quad, ring, strip})
        u->stateWord = shapes;

    testsupport::FakeVertexBuffer modelVertices(nullptr), meshVertices(nullptr);
    testsupport::FakeIndexBuffer modelIndices(nullptr), meshIndices(nullptr);
    s.device.Name(&modelVertices, "mvb");
    s.device.Name(&modelIndices, "mib");
    s.device.Name(&meshVertices, "tvb");
    s.device.Name(&meshIndices, "tib");
    auto* model = s.Add<Fx::ModelDrawUnit<0>>(s.rig.PlainData(), Fx::ModelDrawUnitBase::Values{});
    Fx::MeshSet set{&modelVertices, &modelIndices, 3, 3};
    Fx::MeshRenderRecord<0>& mr = *model->Record();
    mr.modelA = mr.modelB = &set;
    mr.polygonOffset = 0.5f;
    mr.blendWeight = 0.25f;
    const float red[4] = {1, 0, 0, 1}, greenF[4] = {0, 1, 0, 1}, blueF[4] = {0, 0, 1, 1};
    std::memcpy(mr.color, red, sizeof red);
    auto* mesh = s.Add<Fx::DrawUnitType13<0>>(s.rig.PlainData(), Fx::DrawUnitType13Base::Values{});
    mesh->mesh = {&meshVertices, &meshIndices, 4, 6};
    mesh->evaluatorFlag = 1;
    mesh->Record()->polygonOffset = 0.75f;
    std::memcpy(mesh->Record()->color, greenF, sizeof greenF);
    auto* volume =
        s.Add<Fx::ProjectionDrawUnit<0>>(s.rig.PlainData(), Fx::ProjectionDrawUnit<0>::Values{});
    const float slot[4] = {1, 2, 3, 4};
    std::memcpy(volume->record->slot, slot, sizeof slot);
    std::memcpy(volume->record->color, blueF, sizeof blueF);
    for (Fx::DrawUnit* u : std::initializer_list<Fx::DrawUnit*>{model, mesh, volume})
        u->stateWord = kMeshState;

    s.device.ClearLog();
    s.rig.DrawFrame();

    std::vector<std::string> golden = {
        "ResetRenderState", "OnBatchesBegin 0", "SetTexture 8 null 0 2 2 0", "OnDrawPhase 0",
        "VS 16 1 12", "VS 17 1 12", "VS 18 1 12", "PS 35 1 12", "PS 36 1 12", "PS 37 1 12",
        "PS 0 4 16", "OnDrawPhase 1", "VS 8 4 16", "VS 13 1 16", "PS 14 1 16",
        // The four shapes, one batch.
        "OnDrawPhase 2", "SetShader null", "SetVertexBuffer 0 vb0 0 32", "SetIndexBuffer ib0",
        "SetBlendMode 0 0", "SetDepthState 0 0 0", "SetCullMode 0", "DrawIndexed 1 0 54 25",
        // The model, no morph: stream 1 empty.
        "OnDrawPhase 2", "SetShader null", "SetVertexBuffer 0 mvb 0 48",
        "SetVertexBuffer 1 null 0 48", "SetIndexBuffer mib", "VS 4 4 12", "VS 14 1 16",
        "VS 15 1 16", "PS 15 2 16", "PS 18 0 16", "PS 34 1 16", "PS 13 1 16", "SetBlendMode 1 0",
        "SetDepthState 0 0 0", "SetCullMode 0", "DrawIndexed 1 0 3 3",
        // The mesh, with its falloff block.
        "OnDrawPhase 2", "SetShader null", "SetVertexBuffer 0 tvb 0 48",
        "SetVertexBuffer 1 null 0 48", "SetIndexBuffer tib", "VS 4 4 12", "VS 14 1 16",
        "VS 15 1 16", "PS 15 2 16", "PS 18 0 16", "PS 34 1 16", "PS 13 1 16", "PS 30 4 16",
        "SetBlendMode 1 0", "SetDepthState 0 0 0", "SetCullMode 0", "DrawIndexed 1 0 6 4",
        // The projection volume on the unit cube.
        "OnDrawPhase 2", "SetShader null", "SetVertexBuffer 0 cubeV 0 12", "SetIndexBuffer cubeI",
        "VS 14 1 16", "VS 15 1 16", "PS 15 2 16", "PS 18 0 16", "VS 4 4 12", "PS 4 4 12",
        "SetBlendMode 1 0", "SetDepthState 1 0 1", "SetCullMode 0", "DrawIndexed 1 0 36 8",
        "OnBatchesEnd 0", "OnLayerEnd"};
    EXPECT_EQ(s.device.calls, golden);

    // The mesh commands' colours and polygon-offset slots, in draw order.
    std::vector<std::vector<float>> colors, slots;
    for (const CallLogDevice::Upload& u : s.device.uploads) {
        if (!u.pixel && u.first == 14)
            colors.push_back(u.values);
        if (!u.pixel && u.first == 15)
            slots.push_back({u.values[0], u.values[1]});
    }
    EXPECT_EQ(colors, (std::vector<std::vector<float>>{{1, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 1, 1}}));
    ASSERT_EQ(slots.size(), 3u);
    EXPECT_EQ(slots[0], (std::vector<float>{0.5f, 0.25f})); // with the blend weight
    EXPECT_EQ(slots[1][0], 0.75f);
    EXPECT_EQ(slots[2], (std::vector<float>{1, 2})); // the slot after the matrix

    // The batch's vertices by stride 32: position, w 0.5, colour, bytes.
    struct Vertex {
        float x, y, z;
        uint16_t rgba[4];
        const uint8_t* bytes;
    };
    std::vector<Vertex> expected = {
        {10, 0, 0, {1000, 0, 0, 1000}, circleBytes},  {11, 0, 0, {1000, 0, 0, 1000}, circleBytes},
        {10, 1, 0, {1000, 0, 0, 1000}, circleBytes},  {9, 0, 0, {1000, 0, 0, 1000}, circleBytes},
        {10, -1, 0, {1000, 0, 0, 1000}, circleBytes}, {19, 1, 0, {0, 1000, 0, 1000}, circleBytes},
        {21, 1, 0, {0, 1000, 0, 1000}, circleBytes},  {19, -1, 0, {0, 1000, 0, 1000}, circleBytes},
        {21, -1, 0, {0, 1000, 0, 1000}, circleBytes}};
    for (uint32_t j = 0; j < 5; ++j)
        for (const float* circleOf : {outer, inner})
            expected.push_back(
                {circleOf[3 * j], circleOf[3 * j + 1], 0, {0, 0, 1000, 1000}, ringBytes});
    const float widths[3] = {0.25f, 0.375f, 0.5f};
    const uint16_t alphas[3] = {1000, 750, 500};
    for (uint32_t j = 0; j < 3; ++j)
        for (const float side : {1.0f, -1.0f})
            expected.push_back({40.0f + static_cast<float>(j),
                                side * widths[j],
                                -10.0f,
                                {1000, 1000, 1000, alphas[j]},
                                stripBytes});
    const auto* vb = static_cast<const testsupport::FakeVertexBuffer*>(
        Stage::Work().vertexPool.entries[0].buffer);
    ASSERT_EQ(expected.size(), 25u);
    for (uint32_t i = 0; i < 25; ++i) {
        const uint8_t* v = vb->bytes.data() + 32 * i;
        float f[4];
        uint16_t c[4];
        std::memcpy(f, v, sizeof f);
        std::memcpy(c, v + 16, sizeof c);
        EXPECT_NEAR(f[0], expected[i].x, 1e-5f) << i;
        EXPECT_NEAR(f[1], expected[i].y, 1e-3f) << i;
        EXPECT_NEAR(f[2], expected[i].z, 1e-5f) << i;
        EXPECT_EQ(f[3], 0.5f) << i;
        EXPECT_TRUE(std::equal(c, c + 4, expected[i].rgba)) << i;
        EXPECT_EQ(std::memcmp(v + 24, expected[i].bytes, 4), 0) << i;
        EXPECT_EQ(v[28], 0xCD) << i; // format 0 leaves its last four bytes
    }
    const std::vector<uint16_t> indices = {0,  1,  2,  0,  2,  3,  0,  3,  4,  0,  4,  1, // fan
                                           7,  6,  5,  8,  6,  7,                         // quad
                                           9,  10, 12, 12, 11, 9,  11, 12, 14, 14, 13, 11,
                                           13, 14, 16, 16, 15, 13,                          // ring
                                           15, 16, 18, 18, 17, 15,                          //
                                           22, 19, 20, 22, 21, 19, 24, 21, 22, 24, 23, 21}; // strip
    const auto* ib =
        static_cast<const testsupport::FakeIndexBuffer*>(Stage::Work().indexPool.entries[0].buffer);
    std::vector<uint16_t> written(indices.size());
    std::memcpy(written.data(), ib->bytes.data(), written.size() * 2);
    EXPECT_EQ(written, indices);
}

} // namespace
