// The fades and the pointer pass. Fades10k: one root holding 10,000
// particles with the distance fade and a view-angle fade on, one Evaluate
// per iteration, against PlainFades10k, a loop over 10,000 structs making
// the same fast roots and ramps on the same translations and axes. The goal
// is at least half the plain loop's rate, with no allocation per frame.
// Fades10k/0 is the same tree with the fades off: the difference is what
// the fades themselves cost inside the particles' whole transform step.
// PointerPass: ProcessPointerInput over 128 pickable particles with 16
// queued commands (goal: under 20 microseconds).
#include "effects/Core/Engine/DrawParameter.h"
#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Math/FastRoot.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/NodeEventBlock.h"
#include "effects/units/ParticleInstance.h"
#include "effects/units/PickBounds.h"
#include "support/effects/EventTreeRig.h"
#include "support/effects/PointerRig.h"
#include "support/effects/RuntimeStartup.h"

#include "bench/AllocationCount.h"
#include "bench/support/PlainRatio.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

namespace Engine = FulgorCore::Engine;
using FulgorCore::ParticleInstance;

constexpr int kParticles = 10000;
constexpr float kDistances[4] = {8.0f, 24.0f, 400.0f, 720.0f};
constexpr float kA2 = 0.25f;
constexpr float kB2 = 0.75f;

// The translation of particle i: a spiral around the camera's axis.
void TranslationOf(int i, float* t) {
    t[0] = static_cast<float>(i % 100) - 50.0f;
    t[1] = static_cast<float>(i / 100) - 50.0f;
    t[2] = -static_cast<float>(i % 37) * 3.0f;
}

// With `on` clear the same particles without their fades: what the rest
// of the transform step costs.
effecttools::EffectFileValue FadeEffect(bool on) {
    effecttools::EffectFileValue f = testsupport::TreeEffect("vfx/fades.vfxb", 1, 0);
    effecttools::UnitValue& unit = f.package.units[0];
    unit.fields.push_back({"bPDf", on ? 1u : 0u});
    unit.fields.push_back({"bPAf", on ? 1u : 0u});
    unit.distanceFade =
        effecttools::DistanceFadeValue{kDistances[0], kDistances[1], kDistances[2], kDistances[3]};
    unit.angleFade = effecttools::AngleFadeValue{0, 0.0f, 1.0f, kA2, kB2};
    return f;
}

void BM_Fades10k(benchmark::State& state) {
    testsupport::EventTreeRig rig;
    rig.tree.runtime.light.keep = false;
    rig.tree.runtime.units.assign(32u << 20, 0);
    rig.tree.runtime.parameter.UnitInstanceMemory = rig.tree.runtime.units.data();
    rig.tree.runtime.parameter.UnitInstanceMemorySize = 32u << 20;
    if (!rig.Start(FadeEffect(state.range(0) != 0))) {
        state.SkipWithError("the runtime did not start");
        return;
    }
    for (int i = 0; i < kParticles; ++i) {
        float t[3];
        TranslationOf(i, t);
        if (!rig.Particle(0, nullptr, t)) {
            state.SkipWithError("the pool ran out");
            return;
        }
    }
    testsupport::Frame();
    const size_t callbacks = testsupport::CountingAllocator::Calls().size();
    uint64_t allocations = 0;
    const double ratioStart = bench::ThreadSeconds();
    for (auto _ : state) {
        const uint64_t before = bench::AllocationCount();
        rig.root->Evaluate();
        allocations += bench::AllocationCount() - before;
    }
    // The fades on are what the plain loop does.
    if (state.range(0) == 1)
        bench::KeepRuntimeTime("fades", state, ratioStart);
    benchmark::DoNotOptimize(rig.root->firstChild);
    state.counters["particles/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kParticles, benchmark::Counter::kIsRate);
    state.counters["allocations"] = static_cast<double>(allocations);
    state.counters["callback allocations"] =
        static_cast<double>(testsupport::CountingAllocator::Calls().size() - callbacks);
}
BENCHMARK(BM_Fades10k)->Arg(1)->Arg(0);

struct PlainParticle {
    float matrix[12];
    float color[4];
};

void Normalize(float* v) {
    const float s = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
    if (!(s > 0.0f)) {
        v[0] = v[1] = v[2] = 0.0f;
        return;
    }
    const float r = FulgorCore::Math::ReciprocalSqrt(s);
    v[0] *= r;
    v[1] *= r;
    v[2] *= r;
}

void BM_PlainFades10k(benchmark::State& state) {
    std::vector<PlainParticle> particles(kParticles);
    for (int i = 0; i < kParticles; ++i) {
        PlainParticle& p = particles[static_cast<size_t>(i)];
        const float identity[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
        std::copy(identity, identity + 12, p.matrix);
        TranslationOf(i, &p.matrix[9]);
    }
    const float camera[3] = {0.0f, 0.0f, 0.0f};
    const double ratioStart = bench::ThreadSeconds();
    for (auto _ : state) {
        for (PlainParticle& p : particles) {
            p.color[0] = p.color[1] = p.color[2] = p.color[3] = 1.0f;
            const float* t = &p.matrix[9];
            float v[3] = {camera[0] - t[0], camera[1] - t[1], camera[2] - t[2]};
            const float d = FulgorCore::Math::ApproxSqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
            float f = 0.0f;
            if (d <= kDistances[0])
                f = 0.0f;
            else if (d <= kDistances[1])
                f = (d - kDistances[0]) / (kDistances[1] - kDistances[0]);
            else if (d <= kDistances[2])
                f = 1.0f;
            else if (d <= kDistances[3])
                f = 1.0f - (d - kDistances[2]) / (kDistances[3] - kDistances[2]);
            p.color[3] *= f;
            float a[3] = {p.matrix[6], p.matrix[7], p.matrix[8]};
            Normalize(v);
            Normalize(a);
            float g = 1.0f - ((a[0] * v[0] + a[1] * v[1] + a[2] * v[2]) - kA2) / (kB2 - kA2);
            g = g < 0.0f ? 0.0f : (g > 1.0f ? 1.0f : g);
            p.color[3] *= g;
        }
        benchmark::DoNotOptimize(particles.data());
        benchmark::ClobberMemory();
    }
    bench::PrintRatio("fades", state, ratioStart);
    state.counters["particles/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kParticles, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PlainFades10k);

// 128 pickable particles at shuffled depths, 16 commands queued, one pass
// of the pointer view per iteration; the frame list is put back in its
// pushed order each time, as the next frame would push it.
void BM_PointerPass(benchmark::State& state) {
    testsupport::PointerRig rig;
    if (!rig.Start()) {
        state.SkipWithError("the runtime did not start");
        return;
    }
    constexpr uint32_t kPickable = 128;
    for (uint32_t i = 0; i < kPickable; ++i)
        rig.Pickable(-1.0f - static_cast<float>((i * 37) % kPickable) * 0.5f, 0.25f);
    testsupport::PointerRig::Point(0.5f, 0.5f);
    rig.Pass();
    FulgorCore::EngineWorkData& work = *Engine::GetWorkData();
    std::vector<FulgorCore::FrameListEntry> pushed;
    for (ParticleInstance* node : rig.pickable)
        pushed.push_back({0.0f, node});
    FulgorCore::EngineWorkData::InputEvent commands[16];
    for (uint32_t i = 0; i < 16; ++i)
        commands[i] = {i % 6, 0};
    uint64_t allocations = 0;
    for (auto _ : state) {
        std::copy(pushed.begin(), pushed.end(), work.frameList);
        work.frameListCount.store(kPickable);
        std::copy(commands, commands + 16, work.inputQueue);
        work.inputQueueCount = 16;
        const uint64_t before = bench::AllocationCount();
        Engine::ProcessPointerInput();
        allocations += bench::AllocationCount() - before;
        // The posted events would become schedules at the next step.
        for (ParticleInstance* node : rig.pickable)
            if (node->postedEvents)
                node->postedEvents->count = 0;
    }
    state.counters["allocations"] = static_cast<double>(allocations);
}
BENCHMARK(BM_PointerPass);

} // namespace

BENCHMARK_MAIN();
