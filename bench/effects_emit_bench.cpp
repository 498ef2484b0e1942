// Emission. EmitSteady: a sphere emitter of 64 points (random picks,
// outward) emitting 500 particles a frame, each living 20 frames, so the
// tree holds a steady 10,000; the emission is timed, the rest of the frame
// (the root's Update(1.0), which ends the oldest 500, and its Evaluate) is
// not. FrameSteady times the whole frame, the emission made by the
// emitter's own timer. PlainEmit: a loop making the same 500 picks, point
// scaling, the two rotations, the normalisation and one 1 KiB record
// initialised per particle in a ring of 10,000. The goal is at least half
// the plain loop's rate of particles, with no allocation through the
// runtime's allocator callbacks or the C++ heap per frame.
#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Engine/ObjectSlot.h"
#include "effects/Core/Math/FastRoot.h"
#include "effects/Core/Noise/Xorshift128.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/units/EmitterUnit.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/ParticleInstanceT.h"
#include "support/effects/EmitterRig.h"
#include "support/effects/RuntimeStartup.h"

#include "bench/AllocationCount.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

namespace Engine = FulgorCore::Engine;
using FulgorCore::InstanceRootUnit;
using FulgorCore::UnitInstance;

constexpr uint32_t kPoints = 64;
constexpr uint16_t kPerFrame = 500;
constexpr int32_t kLifetime = 20;
constexpr uint32_t kSteady = kPerFrame * kLifetime;

std::vector<std::array<float, 3>> SpherePoints() {
    std::vector<std::array<float, 3>> points;
    for (uint32_t i = 0; i < kPoints; ++i) {
        const float a = static_cast<float>(i) * 0.7f;
        const float y = 1.0f - 2.0f * (static_cast<float>(i) + 0.5f) / kPoints;
        const float r = std::sqrt(1.0f - y * y);
        points.push_back({r * std::cos(a), y, r * std::sin(a)});
    }
    return points;
}

effecttools::EffectFileValue EmitEffect(bool timed) {
    effecttools::EmitterValue e = testsupport::Emitter(5, 2.0f);
    e.shape->points = testsupport::Points(SpherePoints());
    e.shape->fields = {{"GnCT", 0}, {"GnPT", 1}};
    e.shape->floats.push_back({"Rad", effecttools::Constant(3.0f)});
    e.localRotation = effecttools::TripleValue{
        0, effecttools::Constant(0.3f), effecttools::Constant(0.2f), effecttools::Constant(0.1f)};
    e.spawnEntries = {testsupport::Item({{"OvLf", 2}, {"Lif", kLifetime}})};
    if (timed)
        e.timedEntries = {testsupport::Timer(0, kPerFrame, 1)};
    effecttools::EffectFileValue f = testsupport::TreeEffect("vfx/emit.vfxb", 2, kLifetime);
    f.package.units[0].emitters = {e};
    f.package.units[0].life = 0;
    return f;
}

// The runtime with 32 MiB of unit memory, the effect and a root holding
// the emitting particle; tears down in its destructor.
class SteadyRig {
public:
    explicit SteadyRig(bool timed) {
        runtime.light.keep = false;
        runtime.units.assign(32u << 20, 0);
        runtime.parameter.UnitInstanceMemory = runtime.units.data();
        runtime.parameter.UnitInstanceMemorySize = 32u << 20;
        if (!runtime.Start())
            return;
        effect = testsupport::LoadEffect(testsupport::Write(EmitEffect(timed)));
        const FulgorCore::PackageResource* package =
            Engine::GetWorkData()->objects.base[effect.index].package;
        UnitInstance::InitialState start;
        start.timeMode = UnitInstance::kEndless;
        constexpr float kIdentity[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
        root =
            UnitInstance::Create<InstanceRootUnit>(package, start, nullptr, kIdentity, 1u, 0xFFu);
        constexpr float kOrigin[3] = {1.0f, 2.0f, 3.0f};
        auto* owner = dynamic_cast<FulgorCore::ParticleInstanceT<0, 1, 0>*>(
            root->SpawnParticleInstance(root, package->GetUnit(0), kOrigin, 0.0f, 1.0f));
        root->AddChild(owner);
        emitter = owner ? static_cast<FulgorCore::EmitterUnit*>(owner->emitterUnits[0]) : nullptr;
    }
    ~SteadyRig() {
        delete root;
        Engine::ReleaseResource(effect.index, effect.serial);
    }
    void Frame() {
        root->Update(1.0f);
        root->Evaluate();
    }
    uint32_t Live() const {
        uint32_t live = 0;
        for (const UnitInstance* c = root->firstChild ? root->firstChild->firstChild : nullptr; c;
             c = c->nextSibling)
            ++live;
        return live;
    }

    testsupport::RuntimeStartup runtime;
    FulgorCore::ObjectHandle effect{};
    InstanceRootUnit* root = nullptr;
    FulgorCore::EmitterUnit* emitter = nullptr;
};

void Report(benchmark::State& state, const SteadyRig& rig, uint64_t allocations, size_t callbacks) {
    state.counters["particles/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kPerFrame, benchmark::Counter::kIsRate);
    state.counters["live"] = static_cast<double>(rig.Live());
    state.counters["blocks"] = static_cast<double>(Engine::GetUnitInstancePool().GetUsedCount());
    state.counters["allocations"] = static_cast<double>(allocations);
    state.counters["callback allocations"] =
        static_cast<double>(testsupport::CountingAllocator::Calls().size() - callbacks);
}

void BM_EmitSteady(benchmark::State& state) {
    SteadyRig rig(false);
    if (!rig.emitter) {
        state.SkipWithError("no emitter");
        return;
    }
    auto emit = [&rig] { rig.emitter->Emit(rig.emitter->owner->time, 0.0f, kPerFrame, 0, 1.0f); };
    // Up to the steady population.
    for (int32_t f = 0; f < kLifetime + 2; ++f) {
        emit();
        rig.Frame();
    }
    const size_t callbacks = testsupport::CountingAllocator::Calls().size();
    uint64_t allocations = 0;
    for (auto _ : state) {
        const uint64_t before = bench::AllocationCount();
        emit();
        allocations += bench::AllocationCount() - before;
        state.PauseTiming();
        rig.Frame();
        state.ResumeTiming();
    }
    Report(state, rig, allocations, callbacks);
}
BENCHMARK(BM_EmitSteady)->Unit(benchmark::kMicrosecond);

void BM_FrameSteady(benchmark::State& state) {
    SteadyRig rig(true);
    if (!rig.emitter) {
        state.SkipWithError("no emitter");
        return;
    }
    for (int32_t f = 0; f < kLifetime + 2; ++f)
        rig.Frame();
    const size_t callbacks = testsupport::CountingAllocator::Calls().size();
    uint64_t allocations = 0;
    for (auto _ : state) {
        const uint64_t before = bench::AllocationCount();
        rig.Frame();
        allocations += bench::AllocationCount() - before;
    }
    Report(state, rig, allocations, callbacks);
}
BENCHMARK(BM_FrameSteady)->Unit(benchmark::kMicrosecond);

void BM_PlainEmit(benchmark::State& state) {
    const std::vector<std::array<float, 3>> points = SpherePoints();
    std::vector<std::array<uint8_t, 1024>> records(kSteady);
    const float rotation[9] = {0.97f, 0.1f, -0.2f, -0.05f, 0.98f, 0.3f, 0.2f, -0.29f, 0.93f};
    const float world[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 1, 2, 3};
    FulgorCore::Xorshift128 random;
    size_t next = 0;
    uint64_t allocations = 0;
    for (auto _ : state) {
        const uint64_t before = bench::AllocationCount();
        for (uint32_t n = 0; n < kPerFrame; ++n) {
            const std::array<float, 3>& p = points[random.Next() % kPoints];
            const float s[3] = {p[0] * 3.0f, p[1] * 3.0f, p[2] * 3.0f};
            float e[3], w[3];
            for (int c = 0; c < 3; ++c)
                e[c] = s[0] * rotation[c] + s[1] * rotation[3 + c] + s[2] * rotation[6 + c];
            for (int c = 0; c < 3; ++c)
                w[c] = e[0] * world[c] + e[1] * world[3 + c] + e[2] * world[6 + c];
            const float r =
                FulgorCore::Math::ReciprocalSqrt(w[0] * w[0] + w[1] * w[1] + w[2] * w[2]);
            const float velocity[3] = {w[0] * r * 2.0f, w[1] * r * 2.0f, w[2] * r * 2.0f};
            std::array<uint8_t, 1024>& record = records[next];
            next = (next + 1) % kSteady;
            std::memset(record.data(), 0, record.size());
            std::memcpy(record.data(), world + 9, 12);
            std::memcpy(record.data() + 12, velocity, 12);
        }
        benchmark::DoNotOptimize(records.data());
        allocations += bench::AllocationCount() - before;
    }
    state.counters["particles/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kPerFrame, benchmark::Counter::kIsRate);
    state.counters["allocations"] = static_cast<double>(allocations);
}
BENCHMARK(BM_PlainEmit)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
