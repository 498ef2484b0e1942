// The unit tree's frame. TimelineTree: one root holding 4,000 looping
// timeline units, each with one entry still pending, through one Update(1.0)
// and one Evaluate per iteration, against a plain loop over 4,000 structs
// doing the same clock step, loop wrap, end test, fade step and entry test.
// Particles10k: one root holding 10,000 particles with animated scale,
// rotation, translation and colour, through one Update(1.0) and one
// Evaluate per iteration, against a plain loop over 10,000 structs making
// the same property evaluations, the same 3x4 composition and the same
// colour and fade arithmetic.
// The goal is at least half the plain loop's rate, with no allocation
// through the runtime's allocator callbacks or the C++ heap per frame.
#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Engine/ObjectSlot.h"
#include "effects/Core/Math/FloatConversion.h"
#include "effects/Core/Math/Matrix.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/Core/Resource/UnitResource.h"
#include "effects/Core/Transform/EulerRotation.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/ParticleInstance.h"
#include "effects/units/TimelineUnit.h"
#include "support/effects/RuntimeStartup.h"
#include "support/effects/UnitTreeRig.h"

#include "bench/AllocationCount.h"
#include "bench/support/PlainRatio.h"

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
    const double ratioStart = bench::ThreadSeconds();
    for (auto _ : state) {
        const uint64_t before = bench::AllocationCount();
        root->Update(1.0f);
        root->Evaluate();
        allocations += bench::AllocationCount() - before;
    }
    bench::KeepRuntimeTime("timelines", state, ratioStart);
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
    const double ratioStart = bench::ThreadSeconds();
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
    bench::PrintRatio("timelines", state, ratioStart);
    state.counters["units/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kTimelines, benchmark::Counter::kIsRate);
    state.counters["allocations"] = static_cast<double>(allocations);
}
BENCHMARK(BM_PlainTimelineTree)->Unit(benchmark::kMicrosecond);

constexpr int kParticles = 10000;

effecttools::FloatValue Rising(float from, float to) {
    effecttools::EasingValue e;
    e.type = 3;
    e.timeLength = 100.0f;
    e.startValue = from;
    e.endValue = to;
    e.randomStart = -0.1f;
    e.randomEnd = 0.1f;
    return e;
}

// One unit of animated scale, rotation, translation and colour.
effecttools::EffectFileValue ParticleEffect() {
    effecttools::EffectFileValue f = testsupport::TreeEffect("vfx/particles.vfxb");
    effecttools::UnitValue& unit = f.package.units[0];
    unit.fields = {{"bPCo", 1}, {"bPSc", 1}, {"bPRo", 1}, {"bPPo", 1}};
    unit.triples["Scl"] = {0, Rising(1.0f, 2.0f), Rising(1.0f, 3.0f), Rising(1.0f, 0.5f)};
    unit.triples["Rot"] = {0, Rising(0.0f, 1.0f), Rising(0.5f, 0.0f), Rising(0.0f, 3.0f)};
    unit.triples["Pos"] = {0, Rising(0.0f, 10.0f), Rising(-4.0f, 4.0f), Rising(2.0f, 0.0f)};
    effecttools::ColorValue colour;
    colour.red = Rising(1.0f, 0.0f);
    colour.alpha = Rising(1.0f, 0.2f);
    unit.color = colour;
    return f;
}

struct ParticleRun {
    testsupport::RuntimeStartup runtime;
    FulgorCore::ObjectHandle effect{};
    const FulgorCore::UnitResource* unit = nullptr;
    InstanceRootUnit* root = nullptr;

    bool Start() {
        runtime.light.keep = false;
        runtime.units.assign(32u << 20, 0);
        runtime.parameter.UnitInstanceMemory = runtime.units.data();
        runtime.parameter.UnitInstanceMemorySize = 32u << 20;
        if (!runtime.Start())
            return false;
        effect = testsupport::LoadEffect(testsupport::Write(ParticleEffect()));
        const FulgorCore::PackageResource* package =
            Engine::GetWorkData()->objects.base[effect.index].package;
        unit = package->GetUnit(0);
        UnitInstance::InitialState start;
        start.loopEnd = 1.0e6f;
        start.timeMode = UnitInstance::kEndless;
        constexpr float kIdentity[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
        root =
            UnitInstance::Create<InstanceRootUnit>(package, start, nullptr, kIdentity, 1u, 0xFFu);
        return root && unit;
    }
    ~ParticleRun() {
        delete root;
        if (effect.serial)
            Engine::ReleaseResource(effect.index, effect.serial);
    }
};

void BM_Particles10k(benchmark::State& state) {
    ParticleRun run;
    if (!run.Start()) {
        state.SkipWithError("the runtime did not start");
        return;
    }
    for (int i = 0; i < kParticles; ++i) {
        const float at[3] = {static_cast<float>(i % 100), static_cast<float>(i / 100), 0.0f};
        run.root->AddChild(run.root->SpawnParticleInstance(run.root, run.unit, at, 0.0f, 1.0f));
    }
    int built = 0;
    for (UnitInstance* u = run.root->firstChild; u; u = u->nextSibling)
        ++built;
    if (built != kParticles) {
        state.SkipWithError("the pool did not hold the particles");
        return;
    }
    const size_t callbacks = testsupport::CountingAllocator::Calls().size();
    uint64_t allocations = 0;
    const double ratioStart = bench::ThreadSeconds();
    for (auto _ : state) {
        const uint64_t before = bench::AllocationCount();
        run.root->Update(1.0f);
        run.root->Evaluate();
        allocations += bench::AllocationCount() - before;
    }
    bench::KeepRuntimeTime("particles", state, ratioStart);
    benchmark::DoNotOptimize(run.root->firstChild->GetWorldMatrix()[9]);
    state.counters["particles/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kParticles, benchmark::Counter::kIsRate);
    state.counters["allocations"] = static_cast<double>(allocations);
    state.counters["callback allocations"] =
        static_cast<double>(testsupport::CountingAllocator::Calls().size() - callbacks);
}
BENCHMARK(BM_Particles10k)->Unit(benchmark::kMicrosecond);

// The same per particle over plain structs: clock, the three transform
// properties and the colour evaluated with their samples, C(S, R, T) by the
// unit's orders, the parent's matrix, the colour times the fade.
struct PlainParticle {
    float time;
    float totalTime;
    float speed;
    float fadeFactor;
    float offset[3];
    float scale[3];
    float rotation[3];
    float position[3];
    float scaleSamples[3];
    float rotationSamples[3];
    float translationSamples[3];
    float colorSamples[5];
    float color[4];
    float matrices[2][12];
    uint32_t current;
};

void BM_PlainParticles10k(benchmark::State& state) {
    ParticleRun run;
    if (!run.Start()) {
        state.SkipWithError("the runtime did not start");
        return;
    }
    const FulgorCore::UnitResource& unit = *run.unit;
    FulgorCore::Xorshift128& random = run.root->random;
    const FulgorCore::EulerBuilder rotate = FulgorCore::MakeRotationByOrder(unit.GetRotO());
    const FulgorCore::Composer compose = FulgorCore::ComposeByOrder(unit.GetTrsO());
    const float* parent = run.root->GetWorldMatrix();
    std::vector<PlainParticle> particles(kParticles);
    for (int i = 0; i < kParticles; ++i) {
        PlainParticle& p = particles[i];
        p = {};
        p.speed = 1.0f;
        p.fadeFactor = 1.0f;
        p.offset[0] = static_cast<float>(i % 100);
        p.offset[1] = static_cast<float>(i / 100);
        unit.GetColor().SampleRandom(random, p.colorSamples);
        unit.GetScale().SampleRandom(random, p.scaleSamples);
        unit.GetRotation().SampleRandom(random, p.rotationSamples);
        unit.GetPosition().SampleRandom(random, p.translationSamples);
    }
    uint64_t allocations = 0;
    const double ratioStart = bench::ThreadSeconds();
    for (auto _ : state) {
        const uint64_t before = bench::AllocationCount();
        for (PlainParticle& p : particles) {
            const float step = p.speed * 1.0f;
            p.time += step;
            p.totalTime += step;
            p.current ^= 1u;
            float* m = p.matrices[p.current];
            const FulgorCore::EvaluationContext frame{p.time, p.totalTime};
            unit.GetColor().Evaluate(frame, p.colorSamples, random, p.color);
            p.color[3] *= p.fadeFactor;
            unit.GetScale().Evaluate(frame, p.scaleSamples, random, p.scale);
            unit.GetRotation().Evaluate(frame, p.rotationSamples, random, p.rotation);
            unit.GetPosition().Evaluate(frame, p.translationSamples, random, p.position);
            float s[12] = {};
            s[0] = p.scale[0];
            s[4] = p.scale[1];
            s[8] = p.scale[2];
            float r[12];
            rotate(r, p.rotation[0], p.rotation[1], p.rotation[2]);
            float t[12];
            FulgorCore::Math::Matrix34Identity(t);
            t[9] = p.position[0];
            t[10] = p.position[1];
            t[11] = p.position[2];
            compose(m, s, r, t);
            m[9] += p.offset[0];
            m[10] += p.offset[1];
            m[11] += p.offset[2];
            FulgorCore::Math::Matrix34Multiply(m, m, parent);
        }
        benchmark::DoNotOptimize(particles.data());
        allocations += bench::AllocationCount() - before;
    }
    bench::PrintRatio("particles", state, ratioStart);
    state.counters["particles/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kParticles, benchmark::Counter::kIsRate);
    state.counters["allocations"] = static_cast<double>(allocations);
}
BENCHMARK(BM_PlainParticles10k)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
