// The record area (draw records from the bottom, commands from the top)
// and the executors that turn each kind of render command into device
// calls.
#include "support/effects/CallLogDevice.h"
#include "support/effects/RenderRig.h"

#include "effects/Core/Resource/MeshSet.h"
#include "effects/render/DrawRecord.h"
#include "effects/render/RenderCommand.h"
#include "effects/render/Renderer.h"
#include "effects/render/RendererWorkData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

namespace Renderer = FulgorCore::Renderer;
using testsupport::CallLogDevice;
using testsupport::kIndexedBatchState;
using testsupport::kParticleBatchState;
using testsupport::kVertexBatchState;
using testsupport::PatternUnit;
using testsupport::RenderRig;

constexpr uint32_t kModelKind = 0;

struct RecordRow {
    const char* name;
    uint32_t areaBytes;
    uint32_t misalign;        // the area starts this far past an 8-byte boundary
    uint32_t filler;          // taken from the top first, leaving the room the row needs
    const char* takes;        // R a draw record, C an indexed-batch command, D a draw command
    std::vector<int> offsets; // each take's offset from the usable base; -1 null
};

TEST(RenderCommands, TheRecordAreaFillsFromBothEnds) {
    const RecordRow rows[] = {
        {"one record, one type-1 command and one draw command fit exactly",
         1024,
         0,
         824,
         "RCD",
         {0, 120, 72}},
        {"8 bytes less nulls that take and every later one",
         1024,
         0,
         832,
         "RCDRC",
         {0, 112, -1, -1, -1}},
        {"commands chain in creation order at falling addresses",
         1024,
         0,
         624,
         "RCCC",
         {0, 320, 240, 160}},
        {"an unaligned area starts at the next 8-byte boundary, whole multiples of 8",
         1027,
         3,
         824,
         "RCD",
         {0, 112, -1}},
    };
    for (const RecordRow& row : rows) {
        SCOPED_TRACE(row.name);
        CallLogDevice device;
        RenderRig rig(device, 4, row.areaBytes + 8);
        uint8_t* memory =
            rig.records.data() + (8 - reinterpret_cast<uintptr_t>(rig.records.data()) % 8) % 8;
        rig.parameter.RenderCommandBufferMemory = memory + row.misalign;
        rig.parameter.RenderCommandBufferMemorySize = row.areaBytes;
        ASSERT_TRUE(rig.Start());
        FulgorCore::RendererWorkData* work = Renderer::GetWorkData();
        const uint8_t* base = work->records.base;
        EXPECT_EQ(base, memory + (row.misalign ? 8 : 0));
        Renderer::BeginFrame(0);
        ASSERT_NE(Renderer::AllocateDrawCommandSpace(row.filler), nullptr);
        std::vector<const void*> chain; // the commands taken since the last record
        FulgorCore::DrawRecord* record = nullptr;
        for (size_t i = 0; row.takes[i]; ++i) {
            const void* taken = nullptr;
            if (row.takes[i] == 'R') {
                taken = Renderer::AllocDrawRecord();
                if (taken) {
                    record = work->currentRecord;
                    chain.clear();
                }
            } else if (row.takes[i] == 'C') {
                taken = Renderer::AllocateCommand<FulgorCore::IndexedBatchCommand>();
                if (taken)
                    chain.push_back(taken);
            } else {
                taken = Renderer::AllocateDrawCommandSpace(sizeof(FulgorCore::DrawCommand));
            }
            const int offset =
                taken ? static_cast<int>(static_cast<const uint8_t*>(taken) - base) : -1;
            EXPECT_EQ(offset, row.offsets[i]) << "take " << i;
        }
        ASSERT_NE(record, nullptr);
        std::vector<const void*> linked;
        for (const FulgorCore::RenderCommand* c = record->firstCommand; c; c = c->next)
            linked.push_back(c);
        EXPECT_EQ(linked, chain);
        Renderer::CommitDirtyRanges();
    }
}

TEST(RenderCommands, ADrawRecordTakesItsCameraSpace) {
    CallLogDevice device;
    RenderRig rig(device);
    ASSERT_TRUE(rig.Start());
    const float view[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 3, 4, 5, 1};
    rig.SetCamera(view, RenderRig::kIdentity);
    FulgorCore::RendererWorkData* work = Renderer::GetWorkData();
    const float eye[4] = {-3, -4, -5, 1};
    const float zero[4] = {};
    const struct {
        uint32_t view;
        const float* matrix;
        const float* viewVector;
    } rows[] = {
        {0, work->viewProjection, eye},
        {1, work->projection, zero},
        {2, work->screenMatrix, zero},
        {3, work->viewProjection, eye}, // from damaged data: the first space
    };
    const float colour[4] = {0.5f, 0.25f, 1.0f, 0.75f};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.view);
        Renderer::BeginFrame(0);
        Renderer::AddDrawRecord(colour, -2.0f, row.view, nullptr, nullptr, nullptr);
        const FulgorCore::DrawRecord* record = work->currentRecord;
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->matrix, row.matrix);
        EXPECT_EQ(work->recordView, row.view < 3 ? row.view : 0u);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(work->viewVector[i], row.viewVector[i]);
            EXPECT_EQ(record->rootColor[i], colour[i]);
        }
        const float screen[4] = {1.0f / 1280.0f, 1.0f / 720.0f, -2.0f, 1.0f};
        for (int i = 0; i < 4; ++i)
            EXPECT_FLOAT_EQ(record->screenParameter[i], screen[i]);
        Renderer::CommitDirtyRanges();
    }
}

// What the mesh commands of the executor table draw with.
testsupport::FakeVertexBuffer gMeshVertices(nullptr);
testsupport::FakeIndexBuffer gMeshIndices(nullptr);
testsupport::FakeVertexBuffer gMorphVertices(nullptr);
testsupport::FakeTexture gTextureA(nullptr);
testsupport::FakeTexture gTextureB(nullptr);
float gWorld[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 2, 4, -4};
const float kFloats[32] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};

void IssueMesh(PatternUnit& u) {
    Renderer::IssueDrawCommand<2>(&gMeshVertices, 30, &gMeshIndices, 60, u.unitShader, gWorld,
                                  kFloats, 1, &u.stateWord, u.textureBindings, u.usedTextureMask,
                                  kFloats, kFloats, kFloats, kFloats);
}
void NameMeshBuffers(CallLogDevice& device) {
    device.Name(&gMeshVertices, "meshV");
    device.Name(&gMeshIndices, "meshI");
    device.Name(&gMorphVertices, "morphV");
}

// The morph target's second-set vertex count (the drawn set has 30).
uint32_t gMorphTargetVertices = 30;
void IssueMorphedModel(PatternUnit& u) {
    FulgorCore::MeshSet model{};
    model.vertexBuffer1 = &gMorphVertices;
    model.indexBuffer1 = &gMeshIndices;
    model.vertexCount1 = 12;
    model.indexCount1 = 18;
    model.vertexBuffer2 = &gMeshVertices;
    model.indexBuffer2 = &gMeshIndices;
    model.vertexCount2 = 30;
    model.indexCount2 = 60;
    FulgorCore::MeshSet morph{};
    morph.vertexBuffer2 = &gMorphVertices;
    morph.vertexCount2 = gMorphTargetVertices;
    Renderer::IssueModelDrawCommand<0>(&model, &morph, u.unitShader, gWorld, kFloats, 0,
                                       &u.stateWord, u.textureBindings, u.usedTextureMask, kFloats,
                                       kFloats, kFloats, nullptr, kFloats, kFloats);
}
void IssueMatrixModel(PatternUnit& u) {
    auto* c = Renderer::AllocateCommand<FulgorCore::MatrixModelCommand>();
    ASSERT_NE(c, nullptr);
    c->header.type = FulgorCore::kMatrixModelCommand;
    c->header.stateWord = u.stateWord;
    c->header.shader = u.unitShader;
    c->header.slots = u.textureBindings;
    c->header.slotMask = 0xFF;
    c->vertexBuffer = &gMeshVertices;
    c->vertexCount = 30;
    c->indexBuffer = &gMeshIndices;
    c->indexCount = 60;
    std::copy(gWorld, gWorld + 12, c->worldMatrix);
    c->baseColor = kFloats;
}
void IssueProjection(PatternUnit& u) {
    Renderer::IssueProjectionDrawCommand<1>(u.unitShader, gWorld, kFloats, &u.stateWord,
                                            u.textureBindings, u.usedTextureMask, kFloats, kFloats,
                                            kFloats);
}

// How the row's one unit draws.
struct UnitSetup {
    uint32_t stride; // 0: the unit issues instead of reserving
    bool indexed;
    uint32_t stateWord;
    uint8_t mask; // slots 0, 1 and 6 hold textures
    bool plainDepth;
    void (*issue)(PatternUnit& unit);
};

struct ExecutorRow {
    const char* name;
    UnitSetup unit;
    std::vector<std::string> calls; // after the command's draw phase
};

TEST(RenderCommands, EachCommandKindMakesItsDeviceCalls) {
    // Depth bits 1 and 0, cull 1, blend 3.
    const uint32_t flags = 3u | (1u << 2) | (3u << 4);
    const ExecutorRow rows[] = {
        {"type 0: unindexed, no texture, cull 2 whatever the word",
         {32, false, kVertexBatchState | flags, 0xFF, false, nullptr},
         {"SetShader sA", "SetVertexBuffer 0 vb0 0 32", "SetIndexBuffer null", "SetBlendMode 3 0",
          "SetDepthState 1 1 0", "SetCullMode 2", "Draw 0 4"}},
        {"type 1: stages 0-5 of the mask",
         {36, true, kIndexedBatchState | flags, 0x43, false, nullptr},
         {"SetShader sA", "SetVertexBuffer 0 vb0 0 36", "SetIndexBuffer ib0",
          "SetTexture 0 tA 1 2 3 1", "SetTexture 1 tB 0 0 0 0", "SetBlendMode 3 0",
          "SetDepthState 1 1 0", "SetCullMode 1", "DrawIndexed 1 0 6 4"}},
        {"type 1 with plain depth: all depth flags off",
         {36, true, kIndexedBatchState | flags, 0x00, true, nullptr},
         {"SetShader sA", "SetVertexBuffer 0 vb0 0 36", "SetIndexBuffer ib0", "SetBlendMode 3 0",
          "SetDepthState 0 0 0", "SetCullMode 1", "DrawIndexed 1 0 6 4"}},
        {"type 2: stage 0, billboard constants",
         {48, true, kParticleBatchState | flags, 0x43, false, nullptr},
         {"SetShader sA", "SetVertexBuffer 0 vb0 0 48", "SetIndexBuffer ib0",
          "SetTexture 0 tA 1 2 3 1", "VS 12 1 16", "VS 0 3 12", "SetBlendMode 3 0",
          "SetDepthState 1 1 0", "SetCullMode 1", "DrawIndexed 1 0 6 4"}},
        {"type 3: a mesh with falloff and screen position; plain depth does not apply",
         {0, true, kModelKind | flags, 0x43, true, IssueMesh},
         {"SetShader sA",
          "SetVertexBuffer 0 meshV 0 48",
          "SetVertexBuffer 1 null 0 48",
          "SetIndexBuffer meshI",
          "SetTexture 0 tA 1 2 3 1",
          "SetTexture 1 tB 0 0 0 0",
          "SetTexture 6 tB 0 0 0 0",
          "VS 4 4 12",
          "VS 14 1 16",
          "VS 15 1 16",
          "PS 15 2 16",
          "PS 18 4 16",
          "PS 34 1 16",
          "PS 13 1 16",
          "PS 30 4 16",
          "PS 17 1 16",
          "SetBlendMode 3 0",
          "SetDepthState 1 1 0",
          "SetCullMode 1",
          "DrawIndexed 1 0 60 30"}},
        {"type 3: a morphed model with point lights",
         {0, true, kModelKind | flags, 0x00, false, IssueMorphedModel},
         {"SetShader sA", "SetVertexBuffer 0 meshV 0 48", "SetVertexBuffer 1 morphV 0 48",
          "SetIndexBuffer meshI", "VS 4 4 12", "VS 14 1 16", "VS 15 1 16", "PS 15 2 16",
          "PS 18 0 16", "PS 34 1 16", "PS 13 1 16", "PS 40 8 16", "SetBlendMode 3 0",
          "SetDepthState 1 1 0", "SetCullMode 1", "DrawIndexed 1 0 60 30"}},
        {"type 4: its own matrix, the second blend variant, no texture",
         {0, true, kModelKind | flags, 0xFF, false, IssueMatrixModel},
         {"SetShader sA", "SetVertexBuffer 0 meshV 0 48", "SetVertexBuffer 1 null 0 48",
          "SetIndexBuffer meshI", "VS 4 4 12", "VS 14 1 16", "SetBlendMode 3 1",
          "SetDepthState 1 0 0", "SetCullMode 2", "DrawIndexed 1 0 60 30"}},
        {"type 5: the cube with the inverse world matrix",
         {0, true, kModelKind | flags, 0x43, false, IssueProjection},
         {"SetShader sA", "SetVertexBuffer 0 cubeV 0 12", "SetIndexBuffer cubeI",
          "SetTexture 0 tA 1 2 3 1", "SetTexture 1 tB 0 0 0 0", "VS 14 1 16", "VS 15 1 16",
          "PS 15 2 16", "PS 18 2 16", "VS 4 4 12", "PS 4 4 12", "SetBlendMode 3 0",
          "SetDepthState 1 0 1", "SetCullMode 0", "DrawIndexed 1 0 36 8"}},
    };
    for (const ExecutorRow& row : rows) {
        SCOPED_TRACE(row.name);
        CallLogDevice device;
        NameMeshBuffers(device);
        device.Name(&gTextureA, "tA");
        device.Name(&gTextureB, "tB");
        testsupport::FakeShader shader(nullptr);
        device.Name(&shader, "sA");
        RenderRig rig(device);
        rig.parameter.RendererFlagB = row.unit.plainDepth ? 1 : 0;
        ASSERT_TRUE(rig.Start());
        RenderRig::Instance& instance = rig.AddInstance(1);
        PatternUnit* u = rig.AddUnit(instance, 1);
        ASSERT_NE(u, nullptr);
        u->stride = row.unit.stride;
        u->indexed = row.unit.indexed;
        u->issue = row.unit.issue;
        u->unitShader = &shader;
        u->stateWord = row.unit.stateWord;
        u->usedTextureMask = row.unit.mask;
        u->textureBindings[0] = {&gTextureA, 0x79}; // modes 1, 2, 3 and the flag
        u->textureBindings[1] = {&gTextureB, 0};
        u->textureBindings[6] = {&gTextureB, 0};
        rig.DrawFrame();
        std::vector<std::string> calls = device.From("OnDrawPhase 2");
        ASSERT_FALSE(calls.empty());
        calls.erase(calls.begin());
        calls.resize(calls.size() - 2); // OnBatchesEnd, OnLayerEnd
        EXPECT_EQ(calls, row.calls);
    }
}

TEST(RenderCommands, AModelCarriesItsScreenPosition) {
    // Clip w = -z: a model at z -4 lies in front, at z 4 behind.
    const float projection[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, -1, 0, 0, 0, 0};
    const struct {
        float z;
        float expected[4];
    } rows[] = {
        {-4.0f, {0.5f * 2 / 4, -0.5f * 4 / 4, -4.0f / 4, 1.0f}},
        {4.0f, {0.0f, 0.0f, 1.0f, 0.0f}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.z);
        CallLogDevice device;
        RenderRig rig(device);
        ASSERT_TRUE(rig.Start());
        rig.SetCamera(RenderRig::kIdentity, projection);
        PatternUnit* u = rig.AddUnit(rig.AddInstance(1), 1);
        u->issue = IssueMesh;
        gWorld[11] = row.z;
        rig.DrawFrame();
        const CallLogDevice::Upload* position = device.LastUpload(true, 17);
        ASSERT_NE(position, nullptr);
        for (int i = 0; i < 4; ++i)
            EXPECT_FLOAT_EQ(position->values[i], row.expected[i]) << i;
    }
    gWorld[11] = -4.0f;
}

// A texture that counts how often the renderer asks whether it is special.
class AskedTexture : public testsupport::FakeTexture {
public:
    using FakeTexture::FakeTexture;
    bool IsSpecial() override {
        ++asked;
        return special;
    }
    bool special = false;
    uint32_t asked = 0;
};

// A special texture raises the latch, which stops the asking until it is
// cleared: at each layer's records, and at each record with the per-record
// switch. Two layers of two instances, each binding the texture at two
// stages.
TEST(RenderCommands, TheTextureLatchStopsTheAskingUntilCleared) {
    const struct {
        const char* name;
        bool special;
        uint8_t resetPerRecord;
        uint32_t asked;
    } rows[] = {
        {"a special texture is asked once per layer", true, 0, 2},
        {"with the per-record switch once per record", true, 1, 4},
        {"a plain texture is asked at every binding", false, 0, 8},
        {"a plain texture with the per-record switch too", false, 1, 8},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        CallLogDevice device;
        AskedTexture texture(nullptr);
        texture.special = row.special;
        device.Name(&texture, "tX");
        RenderRig rig(device);
        rig.parameter.RendererFlagA = row.resetPerRecord;
        ASSERT_TRUE(rig.Start());
        for (uint32_t index : {1u, 2u}) {
            PatternUnit* u = rig.AddUnit(rig.AddInstance(index), static_cast<uint8_t>(index));
            ASSERT_NE(u, nullptr);
            u->stateWord = kIndexedBatchState;
            u->usedTextureMask = 0x03;
            u->textureBindings[0] = {&texture, 0};
            u->textureBindings[1] = {&texture, 0};
        }
        rig.DrawFrame();
        rig.DrawFrame();
        EXPECT_EQ(texture.asked, row.asked);
        EXPECT_EQ(std::count(device.calls.begin(), device.calls.end(), "SetTexture 1 tX 0 0 0 0"),
                  4);
    }
}

// The target is read at the drawn set's indices: one with fewer vertices
// than the drawn set is not taken, and the first set draws alone.
TEST(RenderCommands, AMorphTargetShorterThanTheDrawnSetIsNotRead) {
    const struct {
        const char* name;
        uint32_t targetVertices;
        std::vector<std::string> buffers;
    } rows[] = {
        {"AsManyMorphs", 30,
         {"SetVertexBuffer 0 meshV 0 48", "SetVertexBuffer 1 morphV 0 48", "SetIndexBuffer meshI",
          "DrawIndexed 1 0 60 30"}},
        {"MoreMorphs", 31,
         {"SetVertexBuffer 0 meshV 0 48", "SetVertexBuffer 1 morphV 0 48", "SetIndexBuffer meshI",
          "DrawIndexed 1 0 60 30"}},
        {"OneFewerDrawsTheFirstSet", 29,
         {"SetVertexBuffer 0 morphV 0 48", "SetVertexBuffer 1 null 0 48", "SetIndexBuffer meshI",
          "DrawIndexed 1 0 18 12"}},
        {"NoneDrawsTheFirstSet", 0,
         {"SetVertexBuffer 0 morphV 0 48", "SetVertexBuffer 1 null 0 48", "SetIndexBuffer meshI",
          "DrawIndexed 1 0 18 12"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        CallLogDevice device;
        NameMeshBuffers(device);
        RenderRig rig(device);
        ASSERT_TRUE(rig.Start());
        PatternUnit* u = rig.AddUnit(rig.AddInstance(1), 1);
        ASSERT_NE(u, nullptr);
        u->issue = IssueMorphedModel;
        u->stateWord = kModelKind;
        gMorphTargetVertices = row.targetVertices;
        rig.DrawFrame();
        std::vector<std::string> buffers;
        for (const std::string& call : device.From("OnDrawPhase 2"))
            if (call.rfind("SetVertexBuffer", 0) == 0 || call.rfind("SetIndexBuffer", 0) == 0 ||
                call.rfind("DrawIndexed", 0) == 0)
                buffers.push_back(call);
        EXPECT_EQ(buffers, row.buffers);
    }
    gMorphTargetVertices = 30;
}

} // namespace
