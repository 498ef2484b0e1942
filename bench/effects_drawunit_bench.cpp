// The grid-cell billboard's frame. PatternQuads: 10,000 type-2 draw units
// with an animated slot 0, each through its Update and its one-quad
// geometry write into a vertex buffer, against a plain loop over 10,000
// structs doing the same cell arithmetic, colour packing, orientation
// choice and four-vertex write. The goal is at least half the plain loop's
// rate, with no allocation per frame.
#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Engine/ObjectSlot.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/Core/Resource/UnitResource.h"
#include "effects/drawunits/DrawRenderer.h"
#include "effects/drawunits/DrawUnitFactory.h"
#include "effects/drawunits/DrawUnitType2.h"
#include "effects/drawunits/DrawVertices.h"
#include "effects/drawunits/PackColor.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/ParticleInstance.h"
#include "support/effects/DrawUnitRig.h"
#include "support/effects/RuntimeStartup.h"
#include "support/effects/UnitTreeRig.h"

#include "bench/AllocationCount.h"
#include "bench/support/PlainRatio.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

namespace Engine = FulgorCore::Engine;
using FulgorCore::BillboardVertex;
using FulgorCore::DrawRenderer;
using FulgorCore::DrawUnit;
using FulgorCore::InstanceRootUnit;
using FulgorCore::ParticleInstance;
using FulgorCore::UnitInstance;

constexpr int kParticles = 10000;

// The vertex buffer the reservations hand out, one quad per particle.
std::vector<BillboardVertex> g_vertices(4 * kParticles);
std::vector<uint16_t> g_indices(6 * kParticles);
uint32_t g_next = 0;
uint8_t g_batchKind = 0;

bool Reserve48(const FulgorCore::IShader*, const uint32_t*, const FulgorCore::TextureSlot*, uint8_t,
               void** vertices, uint32_t count, uint16_t** indices, uint16_t* first, uint32_t) {
    const uint32_t quad = g_next++ % kParticles;
    *vertices = &g_vertices[4 * quad];
    *indices = &g_indices[6 * quad];
    *first = static_cast<uint16_t>(4 * quad);
    return count == 4;
}

effecttools::EffectFileValue PatternEffect() {
    effecttools::EffectFileValue f = testsupport::TreeEffect("vfx/pattern.vfxb");
    effecttools::DrawDataType2Value pattern;
    pattern.fields = {{"DivU", 4}, {"DivV", 2}, {"AnmI", 3}, {"bRZ", 1}};
    effecttools::DrawPartValue part;
    part.data = pattern;
    effecttools::TextureLayerValue layer;
    layer.fields = {{"bEbl", 1}};
    layer.list = std::vector<int8_t>{0, 1};
    effecttools::LoopValue loop;
    loop.velocity = 0.1f;
    loop.maximum = 2.0f;
    layer.number = loop;
    part.textureLayers["TCo1"] = layer;
    f.package.units[0].drawParts.push_back(part);
    for (int i = 0; i < 2; ++i) {
        effecttools::TextureValue t;
        t.data = std::vector<uint8_t>(16, static_cast<uint8_t>(i));
        f.package.textures.push_back(t);
    }
    return f;
}

void BM_PatternQuads(benchmark::State& state) {
    testsupport::RuntimeStartup runtime;
    runtime.light.keep = false;
    runtime.units.assign(64u << 20, 0);
    runtime.parameter.UnitInstanceMemory = runtime.units.data();
    runtime.parameter.UnitInstanceMemorySize = 64u << 20;
    if (!runtime.Start()) {
        state.SkipWithError("the runtime did not start");
        return;
    }
    DrawRenderer& renderer = DrawRenderer::Current();
    const DrawRenderer saved = renderer;
    renderer.reserveVertices48 = Reserve48;
    renderer.batchKind = [] { return &g_batchKind; };
    renderer.submit = [](FulgorCore::Job* job) { job->Execute(); };
    const FulgorCore::ObjectHandle effect =
        testsupport::LoadEffect(testsupport::Write(PatternEffect()));
    const FulgorCore::PackageResource* package =
        Engine::GetWorkData()->objects.base[effect.index].package;
    UnitInstance::InitialState start;
    start.timeMode = UnitInstance::kEndless;
    constexpr float kIdentity[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
    InstanceRootUnit* root =
        UnitInstance::Create<InstanceRootUnit>(package, start, nullptr, kIdentity, 1u, 0xFFu);
    std::vector<ParticleInstance*> owners;
    std::vector<DrawUnit*> units;
    UnitInstance::InitialState clock;
    clock.parent = root;
    clock.timeMode = UnitInstance::kEndless;
    for (int i = 0; i < kParticles; ++i) {
        ParticleInstance* owner = testsupport::StandInParticle(root, clock);
        const float position[3] = {static_cast<float>(i), 0.0f, 0.0f};
        testsupport::PlaceOwner(owner, position);
        owners.push_back(owner);
        bool noBlock = false;
        units.push_back(
            FulgorCore::CreateDrawUnit(owner, package->GetUnit(0)->GetDrawPart(0), noBlock));
    }
    const size_t callbacks = testsupport::CountingAllocator::Calls().size();
    uint64_t allocations = 0;
    FulgorCore::DrawClock frame;
    frame.lastStep = 1.0f;
    const double ratioStart = bench::ThreadSeconds();
    for (auto _ : state) {
        const uint64_t before = bench::AllocationCount();
        frame.timeA += 1.0f;
        frame.timeB += 1.0f;
        for (DrawUnit* unit : units) {
            unit->Update(frame);
            unit->Draw();
        }
        allocations += bench::AllocationCount() - before;
    }
    bench::KeepRuntimeTime("quads", state, ratioStart);
    benchmark::DoNotOptimize(g_vertices.data());
    state.counters["particles/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kParticles, benchmark::Counter::kIsRate);
    state.counters["allocations"] = static_cast<double>(allocations);
    state.counters["callback allocations"] =
        static_cast<double>(testsupport::CountingAllocator::Calls().size() - callbacks);
    for (DrawUnit* unit : units)
        delete unit;
    for (ParticleInstance* owner : owners)
        delete owner;
    delete root;
    renderer = saved;
    Engine::ReleaseResource(effect.index, effect.serial);
}
BENCHMARK(BM_PatternQuads)->Unit(benchmark::kMillisecond);

// The same work on plain structs: one particle's grid clock, colour and
// orientation sources, its cell, packed colour and four vertices.
struct PlainParticle {
    float position[3];
    float color[4];
    float scale[3];
    float rotation[3];
    float frame;
    uint16_t orientationFlags;
    uint8_t texture;
};

void BM_PlainLoop(benchmark::State& state) {
    std::vector<PlainParticle> particles(kParticles);
    for (int i = 0; i < kParticles; ++i)
        particles[i] = {
            {static_cast<float>(i), 0, 0}, {1, 1, 1, 1}, {1, 1, 1}, {0, 0, 0.5f}, 0.0f, 2, 0};
    const uint16_t cellsU = 4, cellsV = 2, framesPerCell = 3;
    const uint16_t stepU = 0x7fff / cellsU, stepV = 0x7fff / cellsV;
    const float frameCount = static_cast<float>(framesPerCell * cellsU * cellsV);
    const float axisLength[2] = {1.0f, 1.0f};
    float time = 0.0f;
    const double ratioStart = bench::ThreadSeconds();
    for (auto _ : state) {
        time += 1.0f;
        for (int i = 0; i < kParticles; ++i) {
            PlainParticle& p = particles[i];
            // The animated slot: a selector that moves with time.
            p.texture = static_cast<uint8_t>(static_cast<int32_t>(time * 0.1f) & 1);
            const uint32_t q = static_cast<uint16_t>(static_cast<int32_t>(p.frame)) / framesPerCell;
            const uint16_t u0 = static_cast<uint16_t>(stepU * (q % cellsU));
            const uint16_t u1 = static_cast<uint16_t>(u0 + stepU);
            const uint16_t v0 = static_cast<uint16_t>(stepV * (q / cellsU));
            const uint16_t v1 = static_cast<uint16_t>(v0 + stepV);
            const float w = axisLength[0] * p.scale[0], h = axisLength[1] * p.scale[1];
            uint16_t packed[4];
            FulgorCore::PackFloat4ToU16(packed, p.color);
            p.frame += 1.0f;
            while (p.frame >= frameCount)
                p.frame -= frameCount;
            float orientation[3] = {0.0f, 0.0f, 0.0f};
            if (p.orientationFlags & 2u)
                orientation[2] = p.rotation[2];
            BillboardVertex* v = &g_vertices[4 * i];
            FulgorCore::WriteQuadIndices(&g_indices[6 * i], static_cast<uint16_t>(4 * i));
            const FulgorCore::BillboardShared shared{p.position, 0.0f, orientation, packed};
            FulgorCore::WriteBillboardVertex(v[0], shared, -w, h, u0, v0);
            FulgorCore::WriteBillboardVertex(v[1], shared, w, h, u1, v0);
            FulgorCore::WriteBillboardVertex(v[2], shared, -w, -h, u0, v1);
            FulgorCore::WriteBillboardVertex(v[3], shared, w, -h, u1, v1);
        }
        benchmark::ClobberMemory();
    }
    bench::PrintRatio("quads", state, ratioStart);
    benchmark::DoNotOptimize(g_vertices.data());
    state.counters["particles/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kParticles, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PlainLoop)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
