// The effects runtime's frame with the game's instance count: 1,000 playing
// instances through Update, ResetDrawState, Draw and two DrawLayer, against
// a plain loop over 1,000 structs doing the same work per instance (state
// step, time advance, a 16-byte frame bump, a list append, the sphere test
// and the sort key) and then a sort of the keys. The goal is at least half
// the plain loop's rate, with no allocation through the runtime's
// allocator callbacks or the C++ heap after start-up.
#include "effects/Core/Engine/DrawParameter.h"
#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Engine/UpdateParameter.h"
#include "effects/Core/Memory/UnitInstancePool.h"
#include "support/effects/EffectFiles.h"
#include "support/effects/RuntimeFrame.h"
#include "support/effects/RuntimeStartup.h"

#include "bench/AllocationCount.h"
#include "bench/support/PlainRatio.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

namespace Engine = FulgorCore::Engine;

constexpr int kInstances = 1000;
// Row vectors, looking down -Z, clip depth 0..1 (the game's camera).
constexpr float kProjection[16] = {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, -1.0001f, -1, 0, 0, -0.10001f, 0};

// The recording device without its records: locks hand out one static
// area and nothing is kept (neither the layer's phases, constants and
// begins), so the frame is measured, not the fake.
class QuietDevice : public testsupport::RecordingDevice {
public:
    void* LockIndexBuffer(FulgorCore::IIndexBuffer*, uint32_t, uint32_t) override { return area_; }
    void* LockVertexBuffer(FulgorCore::IVertexBuffer*, uint32_t, uint32_t) override {
        return area_;
    }
    void UnlockIndexBuffer(FulgorCore::IIndexBuffer*, uint32_t) override {}
    void UnlockVertexBuffer(FulgorCore::IVertexBuffer*, uint32_t) override {}
    void OnDrawPhase(uint32_t) override {}
    void OnBatchesBegin(uint32_t) override {}
    void SetVertexShaderConstants(uint32_t, const void*, uint32_t, uint32_t) override {}
    void SetPixelShaderConstants(uint32_t, const void*, uint32_t, uint32_t) override {}

private:
    alignas(16) uint8_t area_[64] = {};
};

float Position(int i, int axis) {
    return axis == 2 ? -100.0f - static_cast<float>(i % 50) : static_cast<float>(i % 20 - 10);
}

void BM_RuntimeFrame(benchmark::State& state) {
    QuietDevice device;
    testsupport::RuntimeStartup runtime;
    runtime.parameter.pDevice = &device;
    runtime.light.keep = false;
    runtime.units.assign(4096 * FulgorCore::kUnitBlockStride, 0);
    runtime.parameter.UnitInstanceMemory = runtime.units.data();
    runtime.parameter.UnitInstanceMemorySize = 4096 * FulgorCore::kUnitBlockStride;
    runtime.cache.assign(8 << 20, 0);
    runtime.parameter.CacheBufferMemory = runtime.cache.data();
    runtime.parameter.CacheBufferMemorySize = 8 << 20;
    runtime.parameter.ObjectMaxCount = 100;
    runtime.parameter.InstanceMaxCount = kInstances;
    if (!runtime.Start()) {
        state.SkipWithError("the runtime did not start");
        return;
    }
    effecttools::EffectFileValue f = testsupport::SmallEffect("vfx/bench.vfxb", 0);
    f.package.fields.push_back({"bFCl", 1});
    const FulgorCore::ObjectHandle effect = testsupport::LoadEffect(testsupport::Write(f));
    for (int i = 0; i < kInstances; ++i) {
        const FulgorCore::InstanceHandle h =
            Engine::CreateInstance(effect.index, effect.serial, nullptr);
        const float m[16] = {
            1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, Position(i, 0), Position(i, 1), Position(i, 2), 1};
        Engine::SetInstanceMatrix(h.index, h.serial, m);
        Engine::SetInstanceLayer(h.index, h.serial, static_cast<uint32_t>(i & 1));
        Engine::SetInstanceDrawOrder(h.index, h.serial, static_cast<uint16_t>(i % 3));
        Engine::PlayInstance(h.index, h.serial, 1.0f, 0);
    }
    const FulgorCore::DrawParameter draw =
        testsupport::ScreenDraw(testsupport::kIdentity44, kProjection);
    const FulgorCore::UpdateParameter update{1.0f, testsupport::kIdentity44};
    Engine::Draw(0, &draw);
    Engine::Update(&update); // the starts
    const size_t callbacks = testsupport::CountingAllocator::Calls().size();
    uint64_t allocations = 0;
    uint64_t drawn = 0;
    const double ratioStart = bench::ThreadSeconds();
    for (auto _ : state) {
        const uint64_t before = bench::AllocationCount();
        Engine::Update(&update);
        Engine::ResetDrawState();
        Engine::Draw(0, &draw);
        Engine::DrawLayer(0);
        drawn += Engine::GetWorkData()->sortList.count;
        Engine::DrawLayer(1);
        drawn += Engine::GetWorkData()->sortList.count;
        allocations += bench::AllocationCount() - before;
    }
    bench::KeepRuntimeTime("frame", state, ratioStart);
    state.counters["instances/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kInstances, benchmark::Counter::kIsRate);
    state.counters["drawn"] = static_cast<double>(drawn) / static_cast<double>(state.iterations());
    state.counters["allocations"] = static_cast<double>(allocations);
    state.counters["callback allocations"] =
        static_cast<double>(testsupport::CountingAllocator::Calls().size() - callbacks);
}
BENCHMARK(BM_RuntimeFrame)->Unit(benchmark::kMicrosecond);

// The same work per instance over plain structs.
struct PlainInstance {
    uint8_t state;
    uint8_t layer;
    uint16_t drawOrder;
    uint32_t index;
    float time;
    float speed;
    float sphere[4];
};

struct PlainEntry {
    const PlainInstance* instance;
    uint64_t key;
};

void BM_PlainLoop(benchmark::State& state) {
    std::vector<PlainInstance> instances(kInstances);
    for (int i = 0; i < kInstances; ++i)
        instances[i] = {3,
                        static_cast<uint8_t>(i & 1),
                        static_cast<uint16_t>(i % 3),
                        static_cast<uint32_t>(i),
                        0.0f,
                        1.0f,
                        {Position(i, 0), Position(i, 1), Position(i, 2), 10.0f}};
    // Planes of the same camera as the runtime's.
    const float planes[6][4] = {{0, 0, 0.9984f, -0.09984f}, {0.8938f, 0, 0.4469f, 0},
                                {-0.8938f, 0, 0.4469f, 0},  {0, 0.8938f, 0.4469f, 0},
                                {0, -0.8938f, 0.4469f, 0},  {0, 0, -0.9992f, 998.75f}};
    std::vector<uint8_t> frameMemory(kInstances * 16);
    std::vector<const PlainInstance*> lists[2];
    lists[0].reserve(kInstances);
    lists[1].reserve(kInstances);
    std::vector<PlainEntry> sorted(kInstances);
    uint64_t allocations = 0;
    uint64_t drawn = 0;
    const double ratioStart = bench::ThreadSeconds();
    for (auto _ : state) {
        const uint64_t before = bench::AllocationCount();
        uint32_t used = 0;
        lists[0].clear();
        lists[1].clear();
        for (PlainInstance& p : instances) {
            if (p.state != 3)
                continue;
            p.time += p.speed * 1.0f;
            if (used + 16 <= frameMemory.size()) {
                std::memcpy(&frameMemory[used], &p.index, sizeof(p.index));
                used += 16;
            }
            lists[p.layer].push_back(&p);
        }
        for (const std::vector<const PlainInstance*>& list : lists) {
            uint32_t count = 0;
            for (const PlainInstance* p : list) {
                bool visible = true;
                for (const float* plane : planes) {
                    const float d = plane[0] * p->sphere[0] + plane[1] * p->sphere[1] +
                                    plane[2] * p->sphere[2] - plane[3];
                    if (!(p->sphere[3] >= d)) {
                        visible = false;
                        break;
                    }
                }
                if (!visible)
                    continue;
                const uint64_t depth = static_cast<uint64_t>(static_cast<int64_t>(
                                           (p->sphere[2] + 3000.0f) * 1000.0f)) &
                                       0xFFFFFFFFu;
                sorted[count++] = {p, (uint64_t{65535u - p->drawOrder} << 48) | (depth << 16) |
                                          (p->index & 0xFFFFu)};
            }
            std::sort(sorted.begin(), sorted.begin() + count,
                      [](const PlainEntry& a, const PlainEntry& b) { return a.key < b.key; });
            drawn += count;
        }
        benchmark::DoNotOptimize(sorted.data());
        benchmark::DoNotOptimize(frameMemory.data());
        allocations += bench::AllocationCount() - before;
    }
    bench::PrintRatio("frame", state, ratioStart);
    state.counters["instances/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kInstances, benchmark::Counter::kIsRate);
    state.counters["drawn"] = static_cast<double>(drawn) / static_cast<double>(state.iterations());
    state.counters["allocations"] = static_cast<double>(allocations);
}
BENCHMARK(BM_PlainLoop)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
