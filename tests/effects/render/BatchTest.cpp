// Reservations merged into batches: what splits a batch, buffer overflow
// and exhaustion, geometry of mixed strides, the unmapped byte counts, a
// failed lock, lines that reserve no indices, and a frame that allocates
// nothing.
#include "support/effects/CallLogDevice.h"
#include "support/effects/CountingAllocator.h"
#include "support/effects/DrawUnitRig.h"
#include "support/effects/EffectFiles.h"
#include "support/effects/RenderRig.h"
#include "support/effects/SilentDevice.h"

#include "bench/AllocationCount.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/Core/Resource/UnitResource.h"
#include "effects/drawunits/DrawUnitFactory.h"
#include "effects/drawunits/DrawUnitType1.h"
#include "effects/render/Renderer.h"
#include "effects/render/RendererWorkData.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

namespace Renderer = FulgorCore::Renderer;
using testsupport::CallLogDevice;
using testsupport::kIndexedBatchState;
using testsupport::PatternMarker;
using testsupport::PatternUnit;
using testsupport::RenderRig;

struct BatchUnit {
    uint32_t vertices = 4;
    uint32_t indices = 6;
    char shader = 'A';
    uint32_t state = kIndexedBatchState;
    uint8_t mask = 0;
    char texture0 = 0; // slot 0's texture: a or b
    uint32_t sampler0 = 0;
    char texture3 = 0;
    bool noTable = false;
};

struct BatchRow {
    const char* name;
    int32_t vertexPool;             // total bytes; 0: 1 MiB
    std::vector<BatchUnit> units;   // one instance's, in draw order
    std::vector<int> bases;         // each unit's base vertex; -1 refused
    std::vector<std::string> draws; // stream 0 and the indexed draws
};

TEST(Batches, EqualStatesMergeAndFullBuffersMoveOn) {
    const BatchRow rows[] = {
        {"three equal-state reservations make one draw",
         0,
         {{}, {}, {}},
         {0, 4, 8},
         {"SetVertexBuffer 0 vb0 0 36", "DrawIndexed 1 0 18 12"}},
        {"a changed shader splits",
         0,
         {{}, {.shader = 'B'}},
         {0, 0},
         {"SetVertexBuffer 0 vb0 0 36", "DrawIndexed 1 0 6 4", "SetVertexBuffer 0 vb0 144 36",
          "DrawIndexed 1 6 6 4"}},
        {"a changed state word splits",
         0,
         {{}, {.state = kIndexedBatchState | (1u << 4)}},
         {0, 0},
         {"SetVertexBuffer 0 vb0 0 36", "DrawIndexed 1 0 6 4", "SetVertexBuffer 0 vb0 144 36",
          "DrawIndexed 1 6 6 4"}},
        {"a changed texture in the mask splits",
         0,
         {{.mask = 1, .texture0 = 'a'}, {.mask = 1, .texture0 = 'b'}},
         {0, 0},
         {"SetVertexBuffer 0 vb0 0 36", "DrawIndexed 1 0 6 4", "SetVertexBuffer 0 vb0 144 36",
          "DrawIndexed 1 6 6 4"}},
        {"a changed sampler word in the mask splits",
         0,
         {{.mask = 1, .texture0 = 'a', .sampler0 = 1}, {.mask = 1, .texture0 = 'a', .sampler0 = 2}},
         {0, 0},
         {"SetVertexBuffer 0 vb0 0 36", "DrawIndexed 1 0 6 4", "SetVertexBuffer 0 vb0 144 36",
          "DrawIndexed 1 6 6 4"}},
        {"a changed slot outside the mask does not split",
         0,
         {{.mask = 1, .texture0 = 'a'}, {.mask = 1, .texture0 = 'a', .texture3 = 'b'}},
         {0, 4},
         {"SetVertexBuffer 0 vb0 0 36", "DrawIndexed 1 0 12 8"}},
        {"a slot only the later request uses is compared with the batch's table: equal merges",
         0,
         {{.mask = 1, .texture0 = 'a', .texture3 = 'b'},
          {.mask = 9, .texture0 = 'a', .texture3 = 'b'}},
         {0, 4},
         {"SetVertexBuffer 0 vb0 0 36", "DrawIndexed 1 0 12 8"}},
        {"a slot only the later request uses is compared with the batch's table: changed splits",
         0,
         {{.mask = 1, .texture0 = 'a', .texture3 = 'a'},
          {.mask = 9, .texture0 = 'a', .texture3 = 'b'}},
         {0, 0},
         {"SetVertexBuffer 0 vb0 0 36", "DrawIndexed 1 0 6 4", "SetVertexBuffer 0 vb0 144 36",
          "DrawIndexed 1 6 6 4"}},
        {"no table reads as empty slots",
         0,
         {{.mask = 0xFF}, {.mask = 0xFF, .noTable = true}},
         {0, 4},
         {"SetVertexBuffer 0 vb0 0 36", "DrawIndexed 1 0 12 8"}},
        {"a vertex-only overflow starts a new vertex buffer at base 0, indices go on",
         0,
         {{.vertices = 400}, {.vertices = 100}},
         {0, 0},
         {"SetVertexBuffer 0 vb0 0 36", "DrawIndexed 1 0 6 400", "SetVertexBuffer 0 vb1 0 36",
          "DrawIndexed 1 6 6 100"}},
        {"an index-only overflow starts a new index buffer at 0, vertices go on",
         0,
         {{.indices = 1000}, {.indices = 100}},
         {0, 0},
         {"SetVertexBuffer 0 vb0 0 36", "DrawIndexed 1 0 1000 4", "SetVertexBuffer 0 vb0 144 36",
          "DrawIndexed 1 0 100 4"}},
        {"a request above one buffer fails and flushes nothing",
         0,
         {{}, {.vertices = 456}, {}},
         {0, -1, 4},
         {"SetVertexBuffer 0 vb0 0 36", "DrawIndexed 1 0 12 8"}},
        {"an exhausted pool drops the rest of the frame",
         65536,
         {{.vertices = 400},
          {.vertices = 400},
          {.vertices = 400},
          {.vertices = 400},
          {.vertices = 400},
          {}},
         {0, 0, 0, 0, -1, -1},
         {"SetVertexBuffer 0 vb0 0 36", "DrawIndexed 1 0 6 400", "SetVertexBuffer 0 vb1 0 36",
          "DrawIndexed 1 6 6 400", "SetVertexBuffer 0 vb2 0 36", "DrawIndexed 1 12 6 400",
          "SetVertexBuffer 0 vb3 0 36", "DrawIndexed 1 18 6 400"}},
    };
    for (const BatchRow& row : rows) {
        SCOPED_TRACE(row.name);
        CallLogDevice device;
        testsupport::FakeShader shaders[2] = {testsupport::FakeShader(nullptr),
                                              testsupport::FakeShader(nullptr)};
        testsupport::FakeTexture textures[2] = {testsupport::FakeTexture(nullptr),
                                                testsupport::FakeTexture(nullptr)};
        RenderRig rig(device);
        if (row.vertexPool)
            rig.parameter.VertexBufferTotalSize = row.vertexPool;
        ASSERT_TRUE(rig.Start());
        RenderRig::Instance& instance = rig.AddInstance(1);
        std::vector<PatternUnit*> units;
        for (const BatchUnit& b : row.units) {
            PatternUnit* u = rig.AddUnit(instance, static_cast<uint8_t>(units.size() + 1));
            ASSERT_NE(u, nullptr);
            u->vertexCount = b.vertices;
            u->indexCount = b.indices;
            u->unitShader = &shaders[b.shader - 'A'];
            u->stateWord = b.state;
            u->usedTextureMask = b.mask;
            u->noTable = b.noTable;
            if (b.texture0)
                u->textureBindings[0] = {&textures[b.texture0 - 'a'], b.sampler0};
            if (b.texture3)
                u->textureBindings[3] = {&textures[b.texture3 - 'a'], 0};
            units.push_back(u);
        }
        // A second frame draws whole again.
        for (int frame = 0; frame < 2; ++frame) {
            SCOPED_TRACE(frame);
            device.ClearLog();
            rig.DrawFrame();
            std::vector<int> bases;
            for (const PatternUnit* u : units)
                bases.push_back(u->reserved ? u->base : -1);
            EXPECT_EQ(bases, row.bases);
            std::vector<std::string> draws;
            for (const std::string& call : device.calls)
                if (call.starts_with("SetVertexBuffer 0") || call.starts_with("DrawIndexed"))
                    draws.push_back(call);
            EXPECT_EQ(draws, row.draws);
            // Every draw reads the vertices its units wrote.
            for (const std::vector<uint32_t>& decoded : device.decoded)
                for (const uint32_t marker : decoded)
                    EXPECT_NE(marker, 0xCDCDCDCDu);
        }
    }
}

// A flush without indices pending (a one-point strip under the indexed
// kind) still counts its vertices as used: the next batch's base vertex
// and the next layer's lock start after them.
TEST(Batches, VerticesOfAnotherStrideStayWhereTheyWereWritten) {
    CallLogDevice device;
    RenderRig rig(device);
    ASSERT_TRUE(rig.Start());
    RenderRig::Instance& first = rig.AddInstance(1, 0);
    PatternUnit* point = rig.AddUnit(first, 1);
    point->stride = 32;
    point->vertexCount = 2;
    point->indexCount = 0;
    point->stateWord = kIndexedBatchState;
    rig.AddUnit(first, 2)->stateWord = kIndexedBatchState;
    RenderRig::Instance& next = rig.AddInstance(1, 1);
    rig.AddUnit(next, 3)->stateWord = kIndexedBatchState;
    Renderer::ResetDrawState();
    Renderer::DrawLayer(0, 0);
    Renderer::DrawLayer(1, 0);
    auto pattern = [](uint8_t tag) {
        return std::vector<uint32_t>{PatternMarker(tag, 0), PatternMarker(tag, 1),
                                     PatternMarker(tag, 2), PatternMarker(tag, 3),
                                     PatternMarker(tag, 0), PatternMarker(tag, 1)};
    };
    ASSERT_EQ(device.decoded.size(), 2u);
    EXPECT_EQ(device.decoded[0], pattern(2));
    EXPECT_EQ(device.decoded[1], pattern(3));
    // The point's two vertices were not written over by the next layer.
    const auto* vb0 = static_cast<const testsupport::FakeVertexBuffer*>(
        Renderer::GetWorkData()->vertexPool.entries[0].buffer);
    uint32_t marker = 0;
    std::memcpy(&marker, &vb0->bytes[32], 4);
    EXPECT_EQ(marker, PatternMarker(1, 1));
}

// The pools stay exhausted for the rest of the frame: a later layer, whose
// begin maps the rest of the last vertex buffer again, reserves nothing.
TEST(Batches, APoolExhaustedInOneLayerRefusesTheNextLayers) {
    CallLogDevice device;
    RenderRig rig(device);
    rig.parameter.VertexBufferTotalSize = 65536; // four buffers of 16384
    ASSERT_TRUE(rig.Start());
    RenderRig::Instance& first = rig.AddInstance(1, 0);
    for (uint8_t tag = 1; tag <= 5; ++tag) {
        PatternUnit* u = rig.AddUnit(first, tag);
        u->vertexCount = 400; // 14400 bytes: one buffer each, the fifth finds none
        u->stateWord = kIndexedBatchState;
    }
    RenderRig::Instance& next = rig.AddInstance(2, 1);
    PatternUnit* late = rig.AddUnit(next, 6); // 144 bytes, within the last buffer's rest
    late->stateWord = kIndexedBatchState;
    Renderer::ResetDrawState();
    Renderer::DrawLayer(0, 0);
    Renderer::DrawLayer(1, 0);
    EXPECT_FALSE(late->reserved);
    EXPECT_EQ(device.decoded.size(), 4u);
}

// A device whose dynamic buffers of each kind lie end to end in one
// mapping: the lock of the next buffer hands back the very address where
// writing into a full one stopped.
class EndToEndDevice : public CallLogDevice {
public:
    FulgorCore::IVertexBuffer* CreateVertexBuffer(uint32_t size, bool dynamic,
                                                  const void* initial) override {
        return Place(vertices, CallLogDevice::CreateVertexBuffer(size, dynamic, initial), size,
                     dynamic && !initial);
    }
    FulgorCore::IIndexBuffer* CreateIndexBuffer(uint32_t size, bool dynamic,
                                                const uint16_t* initial) override {
        return Place(indices, CallLogDevice::CreateIndexBuffer(size, dynamic, initial), size,
                     dynamic && !initial);
    }
    void* LockVertexBuffer(FulgorCore::IVertexBuffer* buffer, uint32_t offset,
                           uint32_t size) override {
        CallLogDevice::LockVertexBuffer(buffer, offset, size);
        return vertices.At(buffer, offset);
    }
    void* LockIndexBuffer(FulgorCore::IIndexBuffer* buffer, uint32_t offset,
                          uint32_t size) override {
        CallLogDevice::LockIndexBuffer(buffer, offset, size);
        return indices.At(buffer, offset);
    }

private:
    struct Mapping {
        std::vector<const void*> buffers;
        uint32_t size = 0;
        std::vector<uint8_t> bytes;
        void* At(const void* buffer, uint32_t offset) {
            for (size_t i = 0; i < buffers.size(); ++i)
                if (buffers[i] == buffer)
                    return bytes.data() + i * size + offset;
            return nullptr;
        }
    };
    // Buffers are made at start-up, before any lock; only the pools'
    // dynamic buffers share the mapping.
    template <class B> static B* Place(Mapping& m, B* buffer, uint32_t size, bool pooled) {
        if (buffer && pooled) {
            m.buffers.push_back(buffer);
            m.size = size;
            m.bytes.resize(m.buffers.size() * size);
        }
        return buffer;
    }
    Mapping vertices, indices;
};

// Each row fills its pool's first buffer to the byte, then overflows it
// with a small request, then asks for more than the second buffer has left:
// that request must move on to the third buffer, and no buffer may count
// more bytes than it holds.
TEST(Batches, ANewBufferMappedWhereTheFullOneEndedHasItsOwnRoom) {
    struct Row {
        const char* name;
        bool indexSide;
    };
    for (const Row& row : {Row{"vertices", false}, Row{"indices", true}}) {
        SCOPED_TRACE(row.name);
        EndToEndDevice device;
        RenderRig rig(device);
        rig.parameter.VertexBufferTotalSize = 65536;
        rig.parameter.IndexBufferTotalSize = 65536;
        ASSERT_TRUE(rig.Start());
        const FulgorCore::RendererWorkData& work = *Renderer::GetWorkData();
        auto committed = [&](uint32_t i) {
            return row.indexSide ? work.indexPool.entries[i].committed
                                 : work.vertexPool.entries[i].committed;
        };
        const uint32_t size = row.indexSide ? work.indexPool.size : work.vertexPool.size;
        RenderRig::Instance& instance = rig.AddInstance(1, 0);
        // Bytes of the row's side: whole buffer, a quarter, then 64 more
        // than the three quarters left.
        const uint32_t counts[3] = {size, size / 4, size - size / 4 + 64};
        for (uint8_t k = 0; k < 3; ++k) {
            PatternUnit* u = rig.AddUnit(instance, static_cast<uint8_t>(k + 1));
            u->stateWord = kIndexedBatchState;
            u->stride = 32;
            if (row.indexSide)
                u->indexCount = counts[k] / 2;
            else
                u->vertexCount = counts[k] / 32;
        }
        Renderer::ResetDrawState();
        Renderer::DrawLayer(0, 0);
        EXPECT_EQ(row.indexSide ? work.indexPool.current : work.vertexPool.current, 2u);
        for (uint32_t i = 0; i < 3; ++i)
            EXPECT_LE(committed(i), size) << i;
        EXPECT_EQ(committed(1), counts[1]);
        EXPECT_EQ(committed(2), counts[2]);
    }
}

// A line (draw type 1) reserves its two vertices without indices under the
// indexed batch kind: it never draws, and its bytes never reach a later
// batch, whether that batch shares its state (and so its buffer range),
// takes another stride or another state. Units: L the line; S a unit of
// the line's shader, state and stride (32); W the same at stride 36; O
// another shader at stride 32.
TEST(Batches, ALineDrawsNothingAndNeverShiftsALaterBatch) {
    struct Row {
        const char* name;
        std::string units;
        std::vector<int> bases; // of the units other than lines
        uint32_t lineAt;        // byte offset of the first line's vertices
        std::vector<std::string> draws;
    };
    const Row rows[] = {
        {"a line alone", "L", {}, 0, {}},
        {"a same-state unit after a line skips its two vertices",
         "LS",
         {2},
         0,
         {"SetVertexBuffer 0 vb0 0 32", "DrawIndexed 1 0 6 6"}},
        {"a line between two same-state units",
         "SLS",
         {0, 6},
         128,
         {"SetVertexBuffer 0 vb0 0 32", "DrawIndexed 1 0 12 10"}},
        {"another stride after a line starts past its bytes",
         "LW",
         {0},
         0,
         {"SetVertexBuffer 0 vb0 64 36", "DrawIndexed 1 0 6 4"}},
        {"another state after a line starts past its bytes",
         "LO",
         {0},
         0,
         {"SetVertexBuffer 0 vb0 64 32", "DrawIndexed 1 0 6 4"}},
        {"a line last in the layer",
         "SL",
         {0},
         128,
         {"SetVertexBuffer 0 vb0 0 32", "DrawIndexed 1 0 6 6"}},
    };
    effecttools::DrawDataType1Value lineData;
    lineData.length = effecttools::Constant(1.0f);
    effecttools::DrawPartValue linePart;
    linePart.data = lineData;
    constexpr float kLineX = 1.5f;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CallLogDevice device;
        testsupport::FakeShader other(nullptr);
        RenderRig rig(device);
        ASSERT_TRUE(rig.Start());
        const FulgorCore::PackageResource* package =
            rig.Load(testsupport::Write(testsupport::DrawEffect({linePart}, 0)));
        ASSERT_NE(package, nullptr);
        const FulgorCore::ParticleResource* part = package->GetUnit(0)->GetDrawPart(0);
        ASSERT_NE(part->GetShader(), nullptr);
        testsupport::OwnerPose pose;
        pose.matrix[9] = kLineX;
        testsupport::Pose(rig.Owner(), pose);
        RenderRig::Instance& instance = rig.AddInstance(1);
        std::vector<PatternUnit*> units;
        uint8_t tag = 1;
        for (char kind : row.units) {
            if (kind == 'L') {
                bool noBlock = false;
                auto* line = dynamic_cast<FulgorCore::DrawUnitType1*>(rig.AddDrawUnit(
                    instance, FulgorCore::CreateDrawUnit(rig.Owner(), part, noBlock)));
                ASSERT_NE(line, nullptr);
                line->Update(testsupport::FrameClock());
                continue;
            }
            PatternUnit* u = rig.AddUnit(instance, tag++);
            ASSERT_NE(u, nullptr);
            u->unitShader = kind == 'O' ? &other : part->GetShader();
            u->stateWord = part->GetRenderStateWord();
            u->stride = kind == 'W' ? 36 : 32;
            units.push_back(u);
        }
        rig.DrawFrame();
        std::vector<int> bases;
        std::vector<uint32_t> expected;
        for (const PatternUnit* u : units) {
            bases.push_back(u->reserved ? u->base : -1);
            for (uint32_t k : {0u, 1u, 2u, 3u, 0u, 1u})
                expected.push_back(testsupport::PatternMarker(u->tag, k));
        }
        EXPECT_EQ(bases, row.bases);
        std::vector<std::string> draws;
        for (const std::string& call : device.calls) {
            EXPECT_FALSE(call.starts_with("Draw ")) << call;
            if (call.starts_with("SetVertexBuffer 0") || call.starts_with("DrawIndexed"))
                draws.push_back(call);
        }
        EXPECT_EQ(draws, row.draws);
        // The draws read the other units' vertices and nothing else.
        std::vector<uint32_t> read;
        for (const std::vector<uint32_t>& decoded : device.decoded)
            read.insert(read.end(), decoded.begin(), decoded.end());
        EXPECT_EQ(read, expected);
        // The line wrote its vertices where it reserved them.
        const auto* vb0 = static_cast<const testsupport::FakeVertexBuffer*>(
            Renderer::GetWorkData()->vertexPool.entries[0].buffer);
        float x[2] = {};
        std::memcpy(&x[0], &vb0->bytes[row.lineAt], 4);
        std::memcpy(&x[1], &vb0->bytes[row.lineAt + 32], 4);
        EXPECT_EQ(x[0], kLineX);
        EXPECT_EQ(x[1], kLineX);
    }
}

// Each layer hands back the bytes it wrote from where its lock began, so
// the second layer of a buffer stays inside it.
TEST(Batches, ASecondLayerUnlocksOnlyWhatItWrote) {
    CallLogDevice device;
    RenderRig rig(device);
    ASSERT_TRUE(rig.Start());
    PatternUnit* a = rig.AddUnit(rig.AddInstance(1, 0), 1);
    a->stateWord = kIndexedBatchState;
    a->vertexCount = 250; // 9000 bytes
    PatternUnit* b = rig.AddUnit(rig.AddInstance(2, 1), 2);
    b->stateWord = kIndexedBatchState;
    b->vertexCount = 140; // 5040 bytes
    Renderer::ResetDrawState();
    Renderer::DrawLayer(0, 0);
    Renderer::DrawLayer(1, 0);
    std::vector<std::pair<uint32_t, uint32_t>> ranges; // vertex lock offset, unlocked bytes
    size_t u = 0;
    for (const auto& lock : device.locks) {
        if (lock.kind != CallLogDevice::Kind::Vertex)
            continue;
        while (u < device.unlocks.size() && device.unlocks[u].kind != CallLogDevice::Kind::Vertex)
            ++u;
        ASSERT_LT(u, device.unlocks.size());
        ranges.push_back({lock.offset, device.unlocks[u++].bytes});
    }
    EXPECT_EQ(ranges, (std::vector<std::pair<uint32_t, uint32_t>>{{0, 9000}, {9000, 5040}}));
}

TEST(Batches, AFailedLockSendsTheReservationToTheNextBuffer) {
    CallLogDevice device;
    RenderRig rig(device);
    ASSERT_TRUE(rig.Start());
    rig.AddUnit(rig.AddInstance(1), 1)->stateWord = kIndexedBatchState;
    device.failVertexLocks = 1;
    rig.DrawFrame();
    std::vector<std::string> draws;
    for (const std::string& call : device.calls)
        if (call.starts_with("SetVertexBuffer 0") || call.starts_with("DrawIndexed"))
            draws.push_back(call);
    EXPECT_EQ(draws,
              (std::vector<std::string>{"SetVertexBuffer 0 vb1 0 36", "DrawIndexed 1 0 6 4"}));
    ASSERT_EQ(device.decoded.size(), 1u);
    EXPECT_EQ(device.decoded[0][3], PatternMarker(1, 3));
}

TEST(Batches, AWarmLayerOf200InstancesAllocatesNothing) {
    testsupport::SilentDevice device;
    RenderRig rig(device, 256, 131072);
    ASSERT_TRUE(rig.Start());
    uint32_t state = 0;
    for (uint32_t i = 0; i < 200; ++i) {
        RenderRig::Instance& instance = rig.AddInstance(i);
        for (uint8_t k = 0; k < 4; ++k)
            rig.AddUnit(instance, k)->stateWord = kIndexedBatchState | ((state++ % 8) << 4);
    }
    rig.DrawFrame();
    const uint64_t draws = device.draws;
    EXPECT_EQ(draws, 800u);
    const uint64_t news = bench::AllocationCount();
    const size_t callbacks = testsupport::CountingAllocator::Calls().size();
    for (int frame = 0; frame < 100; ++frame)
        rig.DrawFrame();
    EXPECT_EQ(bench::AllocationCount(), news);
    EXPECT_EQ(testsupport::CountingAllocator::Calls().size(), callbacks);
    EXPECT_EQ(device.draws, draws * 101);
}

} // namespace
