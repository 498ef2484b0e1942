// The unit tree's frame. TimelineTree: one root holding 4,000 looping
// timeline units, each with one entry still pending, through one Update(1.0)
// and one Evaluate per iteration, against a plain loop over 4,000 structs
// doing the same clock step, loop wrap, end test, fade step and entry test.
// The goal is at least half the plain loop's rate, with no allocation
// through the runtime's allocator callbacks or the C++ heap per frame.
#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Engine/ObjectSlot.h"
#include "effects/Core/Math/FloatConversion.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/TimelineUnit.h"
#include "support/effects/RuntimeStartup.h"
#include "support/effects/UnitTreeRig.h"

#include "bench/AllocationCount.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

namespace Engine = FulgorCore::Engine;
using FulgorCore::InstanceRootUnit;
using FulgorCore::TimelineUnit;
using FulgorCore::UnitInstance;

constexpr int kTimelines = 4000;
constexpr float kLoopEnd = 50.0f;
// Never reached: the entry stays pending.
constexpr uint16_t kPendingFrame = 30000;

void BM_TimelineTree(benchmark::State& state) {
    testsupport::RuntimeStartup runtime;
    runtime.light.keep = false;
    runtime.units.assign(8u << 20, 0);
    runtime.parameter.UnitInstanceMemory = runtime.units.data();
    runtime.parameter.UnitInstanceMemorySize = 8u << 20;
    if (!runtime.Start()) {
        state.SkipWithError("the runtime did not start");
        return;
    }
    effecttools::EffectFileValue f = testsupport::TreeEffect("vfx/tree.vfxb");
    testsupport::AddTimeline(f, 0, {testsupport::UnitItem(0, kPendingFrame, kPendingFrame + 10)});
    const FulgorCore::ObjectHandle effect = testsupport::LoadEffect(testsupport::Write(f));
    const FulgorCore::PackageResource* package =
        Engine::GetWorkData()->objects.base[effect.index].package;
    // A looping root, so the timelines under it keep their loops.
    UnitInstance::InitialState start;
    start.loopEnd = 1.0e6f;
    start.timeMode = UnitInstance::kEndless;
    constexpr float kIdentity[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
    InstanceRootUnit* root =
        UnitInstance::Create<InstanceRootUnit>(package, start, nullptr, kIdentity, 1u, 0xFFu);
    UnitInstance::InitialState looping = TimelineUnit::StateFor(root, 0.0f);
    looping.loopEnd = kLoopEnd;
    for (int i = 0; i < kTimelines; ++i)
        root->AddChild(UnitInstance::Create<TimelineUnit>(root, looping, package->GetTimeline(0),
                                                          static_cast<int8_t>(1 + i % 14)));
    const size_t callbacks = testsupport::CountingAllocator::Calls().size();
    uint64_t allocations = 0;
    for (auto _ : state) {
        const uint64_t before = bench::AllocationCount();
        root->Update(1.0f);
        root->Evaluate();
        allocations += bench::AllocationCount() - before;
    }
    benchmark::DoNotOptimize(root->firstChild->time);
    state.counters["units/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kTimelines, benchmark::Counter::kIsRate);
    state.counters["pending"] = static_cast<double>(root->firstChild->holdCount);
    state.counters["allocations"] = static_cast<double>(allocations);
    state.counters["callback allocations"] =
        static_cast<double>(testsupport::CountingAllocator::Calls().size() - callbacks);
    delete root;
    Engine::ReleaseResource(effect.index, effect.serial);
}
BENCHMARK(BM_TimelineTree)->Unit(benchmark::kMicrosecond);

// The same work per unit over plain structs.
struct PlainTimeline {
    float time;
    float totalTime;
    float lastStep;
    float speed;
    float loopStart;
    float loopEnd;
    float endTime;
    uint16_t hold;
    uint8_t alive;
    uint8_t endsByTime;
    uint32_t fadeState;
    float fadeFactor;
    float fadeElapsed;
    float fadeDuration;
    uint64_t doneMask;
    int16_t startFrame;
};

void BM_PlainTimelineTree(benchmark::State& state) {
    std::vector<PlainTimeline> units(kTimelines);
    for (PlainTimeline& u : units)
        u = {0.0f,
             0.0f,
             0.0f,
             1.0f,
             0.0f,
             kLoopEnd,
             0.0f,
             1,
             1,
             0,
             0,
             1.0f,
             0.0f,
             0.0f,
             ~uint64_t{1},
             static_cast<int16_t>(kPendingFrame)};
    uint64_t allocations = 0;
    for (auto _ : state) {
        const uint64_t before = bench::AllocationCount();
        for (PlainTimeline& u : units) {
            const float step = u.speed * 1.0f;
            u.lastStep = step;
            u.time += step;
            u.totalTime += step;
            if (u.time >= u.loopEnd) {
                const float span = u.loopEnd - u.loopStart;
                const int64_t loops = FulgorCore::Math::TruncateToInt64(u.time - u.loopStart) /
                                      FulgorCore::Math::TruncateToInt64(span);
                u.time -= static_cast<float>(loops) * span;
            }
            if (u.endsByTime && u.hold == 0 && u.time >= u.endTime)
                u.alive = 0;
            if (u.fadeState == 2) {
                u.fadeElapsed += u.lastStep;
                u.fadeFactor = 1.0f - u.fadeElapsed / u.fadeDuration;
            }
            if (u.doneMask != ~uint64_t{0} && u.time - static_cast<float>(u.startFrame) >= 0.0f) {
                u.doneMask = ~uint64_t{0};
                --u.hold;
            }
        }
        benchmark::DoNotOptimize(units.data());
        allocations += bench::AllocationCount() - before;
    }
    state.counters["units/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kTimelines, benchmark::Counter::kIsRate);
    state.counters["allocations"] = static_cast<double>(allocations);
}
BENCHMARK(BM_PlainTimelineTree)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
