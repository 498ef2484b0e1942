#include "support/effects/RuntimeStartup.h"

#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Engine/InstanceSlot.h"
#include "effects/Core/Engine/ObjectSlot.h"
#include "effects/Core/Interface/Job.h"
#include "effects/Core/Interface/JobDispatcher.h"
#include "effects/Core/Memory/FrameWorkMemory.h"
#include "effects/Core/Memory/UnitInstancePool.h"
#include "effects/Core/Noise/PerlinNoise.h"
#include "effects/drawunits/DrawRenderer.h"
#include "effects/render/Renderer.h"
#include "effects/render/RendererWorkData.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

namespace {

using FulgorCore::EngineWorkData;
using FulgorCore::InitializeParameter;
using testsupport::CountingAllocator;
using testsupport::LogCapture;
using testsupport::RecordingDevice;
using testsupport::RuntimeStartup;
namespace Engine = FulgorCore::Engine;

// Each check of the start-up record, in the order they are made: the
// message it logs and how a test breaks it.
struct Check {
    const char* message;
    void (*breakIt)(InitializeParameter&);
};
const Check kChecks[] = {
    {"EngineInitializeParameter::pAllocator_Alloc is null.\n",
     [](InitializeParameter& p) { p.EngineInitializeParameter.pAllocator_Alloc = nullptr; }},
    {"EngineInitializeParameter::pAllocator_Free is null.\n",
     [](InitializeParameter& p) { p.EngineInitializeParameter.pAllocator_Free = nullptr; }},
    {"InitializeParameter::pLightListenner is null.\n",
     [](InitializeParameter& p) { p.pLightListenner = nullptr; }},
    {"InitializeParameter::ObjectMaxCount is 0.\n",
     [](InitializeParameter& p) { p.ObjectMaxCount = 0; }},
    {"InitializeParameter::InstanceMaxCount is 0.\n",
     [](InitializeParameter& p) { p.InstanceMaxCount = 0; }},
    {"InitializeParameter::CacheBufferMemory is null.\n",
     [](InitializeParameter& p) { p.CacheBufferMemory = nullptr; }},
    {"InitializeParameter::CacheBufferMemory is less than 1024 bytes.\n",
     [](InitializeParameter& p) { p.CacheBufferMemorySize = 1023; }},
    {"InitializeParameter::UnitInstanceMemory is null.\n",
     [](InitializeParameter& p) { p.UnitInstanceMemory = nullptr; }},
    {"InitializeParameter::UnitInstanceMemory is less than 256 * 1024 bytes.\n",
     [](InitializeParameter& p) { p.UnitInstanceMemorySize = 262143; }},
    {"InitializeParameter::RenderCommandBufferMemory is null.\n",
     [](InitializeParameter& p) { p.RenderCommandBufferMemory = nullptr; }},
    {"InitializeParameter::RenderCommandBufferMemory is less than 1024 bytes.\n",
     [](InitializeParameter& p) { p.RenderCommandBufferMemorySize = 1023; }},
    {"InitializeParameter::pDevice is null.\n",
     [](InitializeParameter& p) { p.pDevice = nullptr; }},
};

// After a failed start-up or a finalize: no memory, device object or
// reference is left with the runtime.
void ExpectAllGivenBack(const RuntimeStartup& startup) {
    EXPECT_FALSE(Engine::IsStarted());
    EXPECT_EQ(Engine::GetWorkData(), nullptr);
    EXPECT_EQ(FulgorCore::Renderer::GetWorkData(), nullptr);
    EXPECT_EQ(CountingAllocator::LiveCount(), 0u);
    EXPECT_EQ(CountingAllocator::ForeignFrees(), 0u);
    EXPECT_EQ(startup.device.live, 0);
    EXPECT_EQ(startup.device.References(), 1u);
    EXPECT_EQ(startup.device.builtin[0]->References(), 1u);
    EXPECT_EQ(startup.light.References(), 1u);
}

TEST(EngineInitializeTest, EachCheckReportsItsOwnMessageWhenFirstToFail) {
    CountingAllocator::Reset();
    InitializeParameter empty{};
    EXPECT_FALSE(Engine::Initialize(&empty)); // no log callback: silent
    EXPECT_FALSE(Engine::Initialize(nullptr));
    EXPECT_TRUE(CountingAllocator::Calls().empty());
    for (size_t check = 0; check < std::size(kChecks); ++check) {
        SCOPED_TRACE(check);
        RuntimeStartup startup;
        for (size_t later = check; later < std::size(kChecks); ++later)
            kChecks[later].breakIt(startup.parameter);
        EXPECT_FALSE(startup.Start());
        ASSERT_EQ(LogCapture::Lines().size(), 1u);
        EXPECT_EQ(LogCapture::Lines()[0], kChecks[check].message);
        EXPECT_TRUE(CountingAllocator::Calls().empty());
        EXPECT_TRUE(startup.device.creations.empty());
        EXPECT_FALSE(Engine::IsStarted());
    }
}

// One unit block per 1088 bytes of unit memory, rounded down; the cache
// memory in two halves rounded down to 16 bytes; anything smaller is
// refused.
TEST(EngineInitializeTest, HostMemoriesAreCutIntoBlocksAndHalves) {
    struct Row {
        uint32_t units, cache, blocks, half;
    };
    for (const Row& row : {Row{262144, 1024, 240, 512}, Row{262208, 1040, 241, 512},
                           Row{262207, 1024, 240, 512}, Row{262144, 1000, 0, 0}}) {
        RuntimeStartup startup;
        startup.units.resize(row.units);
        startup.parameter.UnitInstanceMemory = startup.units.data();
        startup.parameter.UnitInstanceMemorySize = row.units;
        startup.parameter.CacheBufferMemorySize = row.cache;
        ASSERT_EQ(startup.Start(), row.blocks != 0) << row.cache;
        EXPECT_EQ(Engine::GetUnitInstancePool().GetCapacity(), row.blocks) << row.units;
        EXPECT_EQ(Engine::GetFrameWorkMemory().GetHalfSize(), row.half) << row.cache;
    }
    EXPECT_EQ(LogCapture::Lines().back(), kChecks[6].message);
}

TEST(EngineInitializeTest, DeviceSeesBufferPoolsCubeAndBuiltinTextures) {
    RuntimeStartup startup;
    ASSERT_TRUE(startup.Start());
    const RecordingDevice& d = startup.device;
    EXPECT_EQ(d.CountCreations(RecordingDevice::Kind::Vertex, 16384, true), 64u);
    EXPECT_EQ(d.CountCreations(RecordingDevice::Kind::Index, 2048, true), 64u);
    ASSERT_EQ(d.creations.size(), 130u);
    const RecordingDevice::Creation& cubeVertices = d.creations[128];
    EXPECT_EQ(cubeVertices.kind, RecordingDevice::Kind::Vertex);
    EXPECT_EQ(cubeVertices.size, 96u);
    EXPECT_FALSE(cubeVertices.dynamic);
    const float vertices[24] = {-0.5f, -0.5f, -0.5f, -0.5f, 0.5f, -0.5f, -0.5f, 0.5f,
                                0.5f,  -0.5f, -0.5f, 0.5f,  0.5f, -0.5f, -0.5f, 0.5f,
                                0.5f,  -0.5f, 0.5f,  0.5f,  0.5f, 0.5f,  -0.5f, 0.5f};
    ASSERT_EQ(cubeVertices.initial.size(), 96u);
    EXPECT_EQ(std::memcmp(cubeVertices.initial.data(), vertices, 96), 0);
    const RecordingDevice::Creation& cubeIndices = d.creations[129];
    EXPECT_EQ(cubeIndices.kind, RecordingDevice::Kind::Index);
    EXPECT_EQ(cubeIndices.size, 72u);
    EXPECT_FALSE(cubeIndices.dynamic);
    const uint16_t indices[36] = {0, 1, 2, 2, 3, 0, 7, 6, 5, 5, 4, 7, 5, 1, 0, 0, 4, 5,
                                  2, 6, 7, 7, 3, 2, 6, 2, 1, 1, 5, 6, 7, 4, 0, 0, 3, 7};
    ASSERT_EQ(cubeIndices.initial.size(), 72u);
    EXPECT_EQ(std::memcmp(cubeIndices.initial.data(), indices, 72), 0);
    EXPECT_EQ(d.builtinRequests, (std::vector<uint32_t>{0, 1}));
    EXPECT_EQ(d.References(), 2u);
    EXPECT_EQ(d.builtin[0]->References(), 2u);
    EXPECT_EQ(startup.light.References(), 2u);
}

TEST(EngineInitializeTest, PoolSizesBelowTheFloorsAreRaisedAndCountsRoundUp) {
    RuntimeStartup startup;
    startup.parameter.VertexBufferSize = -5;
    startup.parameter.VertexBufferTotalSize = 70000;
    startup.parameter.IndexBufferSize = 3000;
    startup.parameter.IndexBufferTotalSize = 0;
    ASSERT_TRUE(startup.Start());
    const FulgorCore::RendererWorkData* r = FulgorCore::Renderer::GetWorkData();
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->vertexPool.size, 16384u);
    EXPECT_EQ(r->vertexPool.count, 5u);
    EXPECT_EQ(r->indexPool.size, 3000u);
    EXPECT_EQ(r->indexPool.count, 3u);
    EXPECT_EQ(r->defaultStateWord, 0x81u);
}

TEST(EngineInitializeTest, FailedCubeBuffersAreReported) {
    for (const auto& [size, message] :
         {std::pair<uint32_t, const char*>{96, "Failed to create VertexBufferProjection.\n"},
          {72, "Failed to create IndexBufferProjection.\n"}}) {
        RuntimeStartup startup;
        startup.device.failWhen = [size = size](const RecordingDevice::Creation& c) {
            return c.size == size;
        };
        EXPECT_FALSE(startup.Start());
        EXPECT_EQ(LogCapture::Lines().back(), message);
        EXPECT_FALSE(Engine::IsStarted());
        Engine::Finalize();
        ExpectAllGivenBack(startup);
    }
}

TEST(EngineInitializeTest, FailedPoolBuffersStayEmptyAndStartUpGoesOn) {
    RuntimeStartup startup;
    startup.device.failWhen = [](const RecordingDevice::Creation& c) {
        return c.dynamic && c.size == 16384;
    };
    ASSERT_TRUE(startup.Start());
    const FulgorCore::RendererWorkData* r = FulgorCore::Renderer::GetWorkData();
    EXPECT_EQ(r->vertexPool.entries[0].buffer, nullptr);
    Engine::Finalize();
    EXPECT_EQ(startup.device.live, 0);
}

TEST(EngineInitializeTest, DefaultInstanceFlagsSetABitForEachZeroByte) {
    {
        RuntimeStartup startup;
        ASSERT_TRUE(startup.Start());
        EXPECT_EQ(Engine::GetWorkData()->defaultInstanceFlags, 0xFFu);
    }
    RuntimeStartup startup;
    startup.parameter.InstanceFlagDefaults[3] = 7;
    startup.parameter.InstanceFlagDefaults[0] = 1;
    ASSERT_TRUE(startup.Start());
    EXPECT_EQ(Engine::GetWorkData()->defaultInstanceFlags, 0xF6u);
}

// The state words from seed m0: m_i = 1812433253 * (m_(i-1) ^ (m_(i-1) >> 30)) + i.
std::vector<uint32_t> SeededWords(uint32_t m) {
    std::vector<uint32_t> words;
    for (uint32_t i = 1; i <= 4; ++i) {
        m = 1812433253u * (m ^ (m >> 30)) + i;
        words.push_back(m);
    }
    return words;
}

std::vector<uint32_t> RandomState() {
    const FulgorCore::Xorshift128& r = Engine::GetWorkData()->random;
    return {r.x, r.y, r.z, r.w};
}

TEST(EngineInitializeTest, SeedZeroMeansTheDefaultSeed) {
    std::vector<uint32_t> zero, explicitSeed, other;
    {
        RuntimeStartup startup;
        ASSERT_TRUE(startup.Start());
        zero = RandomState();
    }
    {
        RuntimeStartup startup;
        startup.parameter.RandomSeed = 87654321;
        ASSERT_TRUE(startup.Start());
        explicitSeed = RandomState();
    }
    {
        RuntimeStartup startup;
        startup.parameter.RandomSeed = 5;
        ASSERT_TRUE(startup.Start());
        other = RandomState();
    }
    EXPECT_EQ(zero, explicitSeed);
    EXPECT_EQ(zero, SeededWords(87654321));
    EXPECT_EQ(other, SeededWords(5));
}

TEST(EngineInitializeTest, WorkDataTablesAreBuilt) {
    RuntimeStartup startup;
    ASSERT_TRUE(startup.Start());
    EngineWorkData* w = Engine::GetWorkData();
    ASSERT_NE(w, nullptr);
    for (uint8_t enabled : w->layerEnabled)
        EXPECT_EQ(enabled, 1);
    EXPECT_EQ(w->lightQueryInterval[0], 1u);
    EXPECT_EQ(w->lightQueryInterval[1], 1u);
    // The free lists run in index order over every record.
    const FulgorCore::ObjectSlot* o = w->objects.freeHead;
    for (uint32_t i = 0; i < 4; ++i, o = o->next) {
        ASSERT_NE(o, nullptr);
        EXPECT_EQ(o->index, i);
        EXPECT_EQ(o->serial, 0u);
    }
    EXPECT_EQ(o, nullptr);
    const FulgorCore::InstanceSlot* s = w->instances.freeHead;
    uint32_t count = 0;
    for (; s; s = s->next)
        EXPECT_EQ(s->index, count++);
    EXPECT_EQ(count, 8u);
    EXPECT_EQ(w->objects.activeHead, nullptr);
    // The permutation start-up puts in place is the 0x0F0F0F0F one.
    FulgorCore::PerlinNoise expected;
    expected.Initialize(0x0F0F0F0F);
    EXPECT_EQ(std::memcmp(w->noise.Table(), expected.Table(), 512), 0);
    EXPECT_EQ(w->defaultTextures[0], startup.device.builtin[0]);
    EXPECT_EQ(w->defaultTextures[1], startup.device.builtin[1]);
}

// Every allocation names where it was made, and none asks for zeroing.
TEST(EngineInitializeTest, AllocationsCarrySourcePositions) {
    RuntimeStartup startup;
    ASSERT_TRUE(startup.Start());
    std::set<uint32_t> lines;
    for (const auto& c : CountingAllocator::Calls()) {
        EXPECT_EQ(c.zero, 0u);
        EXPECT_FALSE(c.label.empty());
        EXPECT_TRUE(c.file.find("effects/Core/Engine/") != std::string::npos ||
                    c.file.find("effects/render/") != std::string::npos)
            << c.file;
        lines.insert(c.line);
    }
    EXPECT_GT(lines.size(), 5u);
}

TEST(EngineInitializeTest, CircleTablesCloseOnTheirFirstPoint) {
    RuntimeStartup startup;
    ASSERT_TRUE(startup.Start());
    const float* t0 = Engine::GetCirclePointTable(0);
    ASSERT_NE(t0, nullptr);
    const float expected[8] = {1.0f, 0.0f, -0.5f, 0.8660254f, -0.5f, -0.8660254f, 1.0f, 0.0f};
    for (int i = 0; i < 8; ++i)
        EXPECT_NEAR(t0[i], expected[i], 1e-6f) << i;
    const float* t61 = Engine::GetCirclePointTable(61);
    ASSERT_NE(t61, nullptr);
    EXPECT_EQ(t61[0], t61[64 * 2]);
    EXPECT_EQ(t61[1], t61[64 * 2 + 1]);
    EXPECT_NEAR(t61[32 * 2], -1.0f, 1e-6f);
    EXPECT_EQ(Engine::GetCirclePointTable(62), nullptr);
}

// Whichever allocation fails, start-up fails and leaves nothing behind;
// a finalize after a good start-up gives everything back too.
TEST(EngineInitializeTest, EveryAllocationFailureFailsCleanly) {
    size_t allocations = 0;
    {
        RuntimeStartup startup;
        ASSERT_TRUE(startup.Start());
        allocations = CountingAllocator::Calls().size();
        EXPECT_GT(startup.device.live, 0);
        Engine::Finalize();
        ExpectAllGivenBack(startup);
        EXPECT_EQ(startup.device.builtin[1]->References(), 1u);
        Engine::Finalize();
        EXPECT_EQ(CountingAllocator::ForeignFrees(), 0u);
    }
    ASSERT_GT(allocations, 60u);
    for (int k = 0; k < static_cast<int>(allocations); ++k) {
        SCOPED_TRACE(k);
        RuntimeStartup startup;
        CountingAllocator::Reset(k);
        EXPECT_FALSE(startup.Start());
        EXPECT_EQ(LogCapture::Lines().back(), "Failed to allocate WorkData.\n");
        EXPECT_FALSE(Engine::IsStarted());
        EXPECT_EQ(Engine::GetWorkData(), nullptr);
        EXPECT_EQ(FulgorCore::Renderer::GetWorkData(), nullptr);
        Engine::Finalize();
        ExpectAllGivenBack(startup);
    }
}

TEST(EngineInitializeTest, InitializeWhileStartedChangesNothing) {
    RuntimeStartup startup;
    ASSERT_TRUE(startup.Start());
    const size_t calls = CountingAllocator::Calls().size();
    EngineWorkData* work = Engine::GetWorkData();
    EXPECT_FALSE(startup.Start());
    EXPECT_TRUE(Engine::IsStarted());
    EXPECT_EQ(Engine::GetWorkData(), work);
    EXPECT_EQ(CountingAllocator::Calls().size(), calls);
}

TEST(EngineInitializeTest, AFailedStartUpIsReleasedByTheNextOne) {
    RuntimeStartup startup;
    startup.device.failWhen = [](const RecordingDevice::Creation& c) { return c.size == 72; };
    EXPECT_FALSE(startup.Start());
    EXPECT_GT(CountingAllocator::LiveCount(), 0u);
    startup.device.failWhen = nullptr;
    EXPECT_TRUE(startup.Start());
    Engine::Finalize();
    ExpectAllGivenBack(startup);
}

TEST(EngineInitializeTest, EntryPointsDoNothingWhileNotStarted) {
    RuntimeStartup startup;
    // The work data's tables fail: the renderer is half-built behind it.
    CountingAllocator::Reset(66);
    EXPECT_FALSE(startup.Start());
    FulgorCore::Renderer::ResetDrawState();
    FulgorCore::Renderer::DrawLayer(0, 0);
    EXPECT_EQ(FulgorCore::Renderer::GetLayerRecordCount(0), 0u);
    EXPECT_EQ(Engine::GetCirclePointTable(0), nullptr);
    EXPECT_TRUE(startup.device.locks.empty());
    EXPECT_EQ(startup.device.frameResets, 0);
}

// Whether the frame memory and the unit pool hand out anything.
bool MemoriesAnswer() {
    return Engine::GetFrameWorkMemory().Allocate(16) != nullptr ||
           Engine::GetUnitInstancePool().Allocate() != nullptr ||
           Engine::GetUnitInstancePool().GetCapacity() != 0 ||
           Engine::GetFrameWorkMemory().GetHalfSize() != 0;
}

TEST(EngineInitializeTest, TheMemoriesAnswerOnlyWhileStarted) {
    {
        RuntimeStartup startup;
        EXPECT_FALSE(MemoriesAnswer());
        ASSERT_TRUE(startup.Start());
        void* block = Engine::GetUnitInstancePool().Allocate();
        EXPECT_NE(block, nullptr);
        Engine::GetUnitInstancePool().Free(block);
        EXPECT_NE(Engine::GetFrameWorkMemory().Allocate(16), nullptr);
        Engine::Finalize();
        EXPECT_FALSE(MemoriesAnswer());
    }
    // A start-up that fails after carving the host's buffers lets go of them.
    RuntimeStartup startup;
    startup.device.failWhen = [](const RecordingDevice::Creation& c) { return c.size == 72; };
    EXPECT_FALSE(startup.Start());
    EXPECT_FALSE(MemoriesAnswer());
    CountingAllocator::Reset(66);
    EXPECT_FALSE(startup.Start());
    EXPECT_FALSE(MemoriesAnswer());
    // Nothing written into the host's unit buffer after the failure.
    std::vector<uint8_t> before = startup.units;
    Engine::GetUnitInstancePool().Allocate();
    EXPECT_EQ(startup.units, before);
}

class CountingJob : public FulgorCore::Job {
public:
    void Execute() override { ++runs; }
    int runs = 0;
};

class QueueingDispatcher : public FulgorCore::JobDispatcher {
public:
    void Submit(FulgorCore::Job* job) override { queued.push_back(job); }
    void WaitAll() override {
        for (FulgorCore::Job* job : queued)
            job->Execute();
        queued.clear();
    }
    std::vector<FulgorCore::Job*> queued;
};

// The engine's own jobs and the draw units' commands go the same way: at
// once without the host's dispatcher, queued with it; once the runtime that
// had one stops, a command runs at once again.
TEST(EngineInitializeTest, JobsRunAtOnceWithoutADispatcher) {
    const auto drawUnitSubmit = FulgorCore::DrawRenderer::kBuiltIn.submit;
    QueueingDispatcher dispatcher;
    for (FulgorCore::JobDispatcher* host : {static_cast<FulgorCore::JobDispatcher*>(nullptr),
                                            static_cast<FulgorCore::JobDispatcher*>(&dispatcher)}) {
        SCOPED_TRACE(host ? "with a dispatcher" : "without one");
        RuntimeStartup startup;
        startup.parameter.pJobDispatcher = host;
        ASSERT_TRUE(startup.Start());
        CountingJob engineJob, drawJob;
        Engine::GetWorkData()->submitJob(&engineJob);
        drawUnitSubmit(&drawJob);
        EXPECT_EQ(engineJob.runs, host ? 0 : 1);
        EXPECT_EQ(drawJob.runs, host ? 0 : 1);
        dispatcher.WaitAll();
        EXPECT_EQ(engineJob.runs, 1);
        EXPECT_EQ(drawJob.runs, 1);
    }
    CountingJob afterStop;
    drawUnitSubmit(&afterStop);
    EXPECT_EQ(afterStop.runs, 1);
    EXPECT_TRUE(dispatcher.queued.empty());
}

} // namespace
