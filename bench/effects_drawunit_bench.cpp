// The draw units' frames. PatternQuads: 10,000 type-2 draw units with an
// animated slot 0, each through its Update and its one-quad geometry write
// into a vertex buffer, against a plain loop over 10,000 structs doing the
// same cell arithmetic, colour packing, orientation choice and four-vertex
// write. Lines, Bands, Fields and Flipbooks: the units of types 1, 3, 4 and
// 11 through Update and Draw into the staging memory of a renderer that
// draws nothing, each timed against a plain loop of the same work in the
// same run; BuildAndTearDown: 2,000 units with every property on built
// from their data and deleted, against a plain loop taking and giving back
// the blocks, drawing the same values and choosing the same members. The
// "ratio" counter is the plain loop's time over the units'; the goal is at
// least 0.5, with no allocation per frame.
#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Engine/ObjectSlot.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/Core/Resource/UnitResource.h"
#include "effects/drawunits/DrawRenderer.h"
#include "effects/drawunits/DrawUnitFactory.h"
#include "effects/Core/Memory/FrameWorkMemory.h"
#include "effects/Core/Resource/DrawDataType1.h"
#include "effects/Core/Resource/DrawDataType11.h"
#include "effects/Core/Resource/DrawDataType3.h"
#include "effects/drawunits/DrawUnitType1.h"
#include "effects/drawunits/DrawUnitType11.h"
#include "effects/drawunits/DrawUnitType2.h"
#include "effects/drawunits/DrawUnitType3.h"
#include "effects/drawunits/DrawUnitType4.h"
#include "effects/drawunits/DrawVertices.h"
#include "effects/drawunits/PackColor.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/ParticleInstance.h"
#include "support/effects/DrawUnitRig.h"
#include "support/effects/LargePageMemory.h"
#include "support/effects/RuntimeStartup.h"
#include "support/effects/UnitTreeRig.h"

#include "bench/AllocationCount.h"
#include "bench/support/PlainRatio.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <new>
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

// Unit memory as the game hands it over: on large pages where the system
// allows, so on cache lines too (the units lay out their hot fields by
// line). Declared before the runtime, which it outlives.
struct GameUnitMemory {
    explicit GameUnitMemory(uint32_t bytes) : memory(bytes) {}
    void GiveTo(testsupport::RuntimeStartup& runtime) const {
        runtime.parameter.UnitInstanceMemory = memory.data();
        runtime.parameter.UnitInstanceMemorySize = static_cast<uint32_t>(memory.size());
    }
    testsupport::LargePageMemory memory;
};

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
    const GameUnitMemory unitMemory(64u << 20);
    testsupport::RuntimeStartup runtime;
    runtime.light.keep = false;
    unitMemory.GiveTo(runtime);
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

// A renderer that draws nothing: every reservation is granted from one
// staging area that wraps, commands run at once.
struct Staging {
    static constexpr size_t kBytes = 8u << 20;
    static inline std::vector<uint8_t> bytes = std::vector<uint8_t>(kBytes);
    static inline std::vector<uint16_t> indices = std::vector<uint16_t>(1u << 20);
    static inline std::vector<uint8_t> commands = std::vector<uint8_t>(1u << 16);
    static inline size_t at = 0, index = 0, command = 0;
    static inline uint8_t kind = 0;

    static void* Take(size_t n) {
        if (at + n > kBytes)
            at = 0;
        void* p = &bytes[at];
        at += (n + 15) & ~size_t{15};
        return p;
    }
    static uint16_t* TakeIndices(uint32_t n) {
        if (index + n > indices.size())
            index = 0;
        uint16_t* p = &indices[index];
        index += n;
        return p;
    }
    template <uint32_t Stride>
    static bool Reserve(const FulgorCore::IShader*, const uint32_t*, const FulgorCore::TextureSlot*,
                        uint8_t, void** v, uint32_t n, uint16_t** i, uint16_t* first, uint32_t ni) {
        *v = Take(size_t{n} * Stride);
        *i = TakeIndices(ni);
        *first = 0;
        return true;
    }
    static bool Reserve32(const FulgorCore::IShader*, const uint32_t*,
                          const FulgorCore::TextureSlot*, uint8_t, void** v, uint32_t n) {
        *v = Take(size_t{n} * 32);
        return true;
    }
    static void* Command(uint32_t n) {
        if (command + n > commands.size())
            command = 0;
        void* p = &commands[command];
        command += (n + 15) & ~uint32_t{15};
        return p;
    }

    Staging() : saved(DrawRenderer::Current()) {
        DrawRenderer& r = DrawRenderer::Current();
        r.reserveVertices = Reserve<36>;
        r.reserveVertices48 = Reserve<48>;
        r.reserveVerticesNoIndex32 = Reserve32;
        r.flushBatches = [] {};
        r.batchKind = [] { return &kind; };
        r.submit = [](FulgorCore::Job* job) { job->Execute(); };
        r.allocateCommandSpace = Command;
        r.bufferSizes = [] {
            return DrawRenderer::BufferSizes{uint32_t{1} << 24, uint32_t{1} << 22};
        };
    }
    ~Staging() { DrawRenderer::Current() = saved; }
    DrawRenderer saved;
};

// A started runtime with room for many units, a root of the effect and
// `count` owners, each with the draw unit of unit 0's first part.
class DrawBench {
public:
    // The units too unless `units` is false; a runtime that does not start
    // skips the benchmark.
    DrawBench(benchmark::State& state, const effecttools::EffectFileValue& f, int count,
              bool units = true) {
        frame.lastStep = 1.0f;
        runtime.light.keep = false;
        runtime.Resize(0, 64u << 20);
        unitMemory.GiveTo(runtime);
        ok = runtime.Start();
        if (!ok) {
            state.SkipWithError("the runtime did not start");
            return;
        }
        staging.emplace_back(new Staging());
        effect = testsupport::LoadEffect(testsupport::Write(f));
        package = Engine::GetWorkData()->objects.base[effect.index].package;
        UnitInstance::InitialState start;
        start.timeMode = UnitInstance::kEndless;
        constexpr float kIdentity[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
        root = UnitInstance::Create<InstanceRootUnit>(package, start, nullptr, kIdentity, 1u, 0xFFu);
        UnitInstance::InitialState clock;
        clock.parent = root;
        clock.timeMode = UnitInstance::kEndless;
        for (int i = 0; i < count; ++i) {
            ParticleInstance* owner = testsupport::StandInParticle(root, clock);
            const float position[3] = {static_cast<float>(i % 100), static_cast<float>(i / 100),
                                       1.0f};
            testsupport::PlaceOwner(owner, position);
            owners.push_back(owner);
        }
        if (units)
            MakeUnits();
    }
    ~DrawBench() {
        for (DrawUnit* unit : units)
            delete unit;
        for (ParticleInstance* owner : owners)
            delete owner;
        delete root;
        staging.clear();
        if (ok)
            Engine::ReleaseResource(effect.index, effect.serial);
    }
    const FulgorCore::ParticleResource* Part() const {
        return package->GetUnit(0)->GetDrawPart(0);
    }
    void MakeUnits() {
        for (ParticleInstance* owner : owners) {
            bool noBlock = false;
            units.push_back(FulgorCore::CreateDrawUnit(owner, Part(), noBlock));
        }
    }

    GameUnitMemory unitMemory{64u << 20};
    testsupport::RuntimeStartup runtime;
    std::vector<std::unique_ptr<Staging>> staging;
    FulgorCore::ObjectHandle effect{};
    const FulgorCore::PackageResource* package = nullptr;
    InstanceRootUnit* root = nullptr;
    std::vector<ParticleInstance*> owners;
    std::vector<DrawUnit*> units;
    FulgorCore::DrawClock frame;
    bool ok = false;
};

using Clock = std::chrono::steady_clock;

// Each iteration runs `units` and then `plain`, each timed on its own; the
// counters give both rates in items a second and their ratio.
void Compare(benchmark::State& state, uint64_t items, const std::function<void()>& units,
             const std::function<void()>& plain) {
    Clock::duration unitTime{}, plainTime{};
    uint64_t allocations = 0;
    for (auto _ : state) {
        const uint64_t before = bench::AllocationCount();
        const Clock::time_point a = Clock::now();
        units();
        const Clock::time_point b = Clock::now();
        allocations += bench::AllocationCount() - before;
        plain();
        benchmark::ClobberMemory();
        plainTime += Clock::now() - b;
        unitTime += b - a;
    }
    const double n = static_cast<double>(state.iterations()) * static_cast<double>(items);
    const double unitSeconds = std::chrono::duration<double>(unitTime).count();
    const double plainSeconds = std::chrono::duration<double>(plainTime).count();
    state.counters["unit items/s"] = n / unitSeconds;
    state.counters["plain items/s"] = n / plainSeconds;
    state.counters["ratio"] = plainSeconds / unitSeconds;
    state.counters["allocations"] = static_cast<double>(allocations);
}

// One frame of every unit: Update at the frame's clock, then Draw.
std::function<void()> UnitFrames(DrawBench& b, FulgorCore::DrawClock& frame, bool flip = false) {
    return [&b, &frame, flip] {
        frame.timeA += 1.0f;
        frame.timeB += 1.0f;
        for (DrawUnit* unit : b.units) {
            unit->Update(frame);
            unit->Draw();
        }
        if (flip)
            Engine::GetFrameWorkMemory().Flip();
    };
}

effecttools::EffectFileValue OnePart(effecttools::DrawPartValue part) {
    effecttools::EffectFileValue f = testsupport::TreeEffect("vfx/bench.vfxb");
    part.textureLayers["TCo1"] = {
        {{"bEbl", 1}}, std::vector<int8_t>{0}, std::nullopt, std::nullopt};
    f.package.units[0].drawParts.push_back(part);
    effecttools::TextureValue t;
    t.data = std::vector<uint8_t>(16, 1);
    f.package.textures.push_back(t);
    return f;
}

// What the plain loops read of an owner.
struct PlainOwner {
    float matrix[12];
    float color[4];
};

std::vector<PlainOwner> PlainOwners(int count) {
    std::vector<PlainOwner> owners(count);
    for (int i = 0; i < count; ++i)
        owners[i] = {{1, 0, 0, 0, 1, 0, 0, 0, 1, static_cast<float>(i % 100),
                      static_cast<float>(i / 100), 1.0f},
                     {1, 1, 1, 1}};
    return owners;
}

constexpr int kUnits = 2000;

void BM_Lines(benchmark::State& state) {
    effecttools::DrawPartValue part;
    part.data = effecttools::DrawDataType1Value{effecttools::Constant(4.0f),
                                                effecttools::ColorValue{},
                                                effecttools::ColorValue{}};
    DrawBench b(state, OnePart(part), kUnits);
    if (!b.ok)
        return;
    FulgorCore::DrawClock& frame = b.frame;
    std::vector<PlainOwner> owners = PlainOwners(kUnits);
    const FulgorCore::DrawDataType1& line = *b.Part()->GetDrawDataType1();
    FulgorCore::Xorshift128 random;
    const float samples[5] = {};
    Compare(state, kUnits, UnitFrames(b, frame), [&] {
        for (const PlainOwner& o : owners) {
            float a[4], c[4];
            line.GetHeadColor().Evaluate(frame, samples, random, a);
            line.GetTailColor().Evaluate(frame, samples, random, c);
            for (int i = 0; i < 4; ++i) {
                a[i] *= o.color[i];
                c[i] *= o.color[i];
            }
            uint16_t tip[4], rootColor[4];
            FulgorCore::PackFloat4ToU16(tip, a);
            FulgorCore::PackFloat4ToU16(rootColor, c);
            const float* p = o.matrix + 9;
            const float length = line.GetLength().Evaluate(frame, 0.0f, random);
            float end[3];
            for (int i = 0; i < 3; ++i)
                end[i] = o.matrix[3 + i] * length + p[i];
            auto* v = static_cast<FulgorCore::LineVertex*>(Staging::Take(64));
            for (int k = 0; k < 2; ++k) {
                const float* q = k == 0 ? p : end;
                for (int i = 0; i < 3; ++i)
                    v[k].position[i] = q[i];
                v[k].position[3] = 0.0f;
                for (int i = 0; i < 4; ++i) {
                    v[k].color[i] = k == 0 ? rootColor[i] : tip[i];
                    v[k].parameters[i] = 0;
                }
            }
        }
    });
}
BENCHMARK(BM_Lines)->Unit(benchmark::kMillisecond);

// normalise(s x (point - eye)), as the band's writer takes it.
void Facing(float* out, const float* s, const float* point, const float* eye) {
    const float d[3] = {point[0] - eye[0], point[1] - eye[1], point[2] - eye[2]};
    out[0] = s[1] * d[2] - s[2] * d[1];
    out[1] = s[2] * d[0] - s[0] * d[2];
    out[2] = s[0] * d[1] - s[1] * d[0];
    const float r = 1.0f / std::sqrt(out[0] * out[0] + out[1] * out[1] + out[2] * out[2]);
    for (int i = 0; i < 3; ++i)
        out[i] *= r;
}

void BM_Bands(benchmark::State& state) {
    effecttools::DrawPartValue part;
    part.data =
        effecttools::DrawDataType3Value{effecttools::Constant(0.5f), effecttools::Constant(4.0f)};
    DrawBench b(state, OnePart(part), kUnits);
    if (!b.ok)
        return;
    FulgorCore::DrawClock& frame = b.frame;
    std::vector<PlainOwner> owners = PlainOwners(kUnits);
    const float eye[3] = {0, 0, -10};
    const FulgorCore::DrawDataType3& band = *b.Part()->GetDrawDataType3();
    FulgorCore::Xorshift128 random;
    Compare(state, kUnits, UnitFrames(b, frame), [&] {
        for (const PlainOwner& o : owners) {
            const float width = band.GetWidth().Evaluate(frame, 0.0f, random);
            const float half = band.GetLength().Evaluate(frame, 0.0f, random) * 0.5f;
            float h[3];
            for (int i = 0; i < 3; ++i)
                h[i] = o.matrix[3 + i] * half;
            uint16_t packed[4];
            FulgorCore::PackFloat4ToU16(packed, o.color);
            uint16_t* index = Staging::TakeIndices(18);
            for (uint16_t k = 0; k < 3; ++k) {
                const uint16_t base = static_cast<uint16_t>(2 * k);
                const uint16_t q[6] = {static_cast<uint16_t>(base + 3),
                                       static_cast<uint16_t>(base + 1), base, base,
                                       static_cast<uint16_t>(base + 2),
                                       static_cast<uint16_t>(base + 3)};
                std::memcpy(index + 6 * k, q, sizeof q);
            }
            const float* p = o.matrix + 9;
            const float a[3] = {p[0] - h[0], p[1] - h[1], p[2] - h[2]};
            const float e[3] = {p[0] + h[0], p[1] + h[1], p[2] + h[2]};
            float side[3], endA[3], endB[3];
            Facing(side, h, p, eye);
            Facing(endA, side, a, eye);
            Facing(endB, side, e, eye);
            float rows[4][3];
            for (int i = 0; i < 3; ++i) {
                rows[0][i] = a[i] + width * endA[i];
                rows[1][i] = a[i];
                rows[2][i] = e[i];
                rows[3][i] = e[i] - width * endB[i];
            }
            static constexpr uint16_t kRowV[4] = {0, 500, 500, 1000};
            auto* v = static_cast<FulgorCore::BandVertex*>(Staging::Take(8 * 36));
            for (int r = 0; r < 4; ++r)
                for (int s = 0; s < 2; ++s) {
                    FulgorCore::BandVertex& x = v[2 * r + s];
                    const float sign = s == 0 ? -1.0f : 1.0f;
                    for (int i = 0; i < 3; ++i)
                        x.position[i] = rows[r][i] + sign * width * side[i];
                    x.position[3] = 0.0f;
                    for (int c = 0; c < 4; ++c) {
                        x.color[c] = packed[c];
                        x.parameters[c] = 0;
                    }
                    x.uv[0] = s == 0 ? 0 : 1000;
                    x.uv[1] = kRowV[r];
                }
        }
    });
}
BENCHMARK(BM_Bands)->Unit(benchmark::kMillisecond);

// Three cells of 4 frames each.
std::vector<uint8_t> Cells() {
    std::vector<uint8_t> keys;
    for (uint16_t cell = 0; cell < 3; ++cell) {
        const uint16_t words[6] = {0, 4, static_cast<uint16_t>(cell * 100), 0, 0x7fff, 0x7fff};
        const float floats[4] = {1.0f, 1.0f, 0.0f, 0.0f};
        const size_t at = keys.size();
        keys.resize(at + 28);
        std::memcpy(&keys[at], words, sizeof words);
        std::memcpy(&keys[at + 12], floats, sizeof floats);
    }
    return keys;
}

void BM_Flipbooks(benchmark::State& state) {
    effecttools::DrawDataType11Value flipbook;
    flipbook.fields = {{"bRZ", 0}};
    flipbook.keys = Cells();
    effecttools::DrawPartValue part;
    part.data = flipbook;
    DrawBench b(state, OnePart(part), kUnits);
    if (!b.ok)
        return;
    FulgorCore::DrawClock& frame = b.frame;
    std::vector<PlainOwner> owners = PlainOwners(kUnits);
    // As a unit keeps them: the cell, its time, the texture it binds and
    // its owner's scale.
    struct Book {
        uint32_t cell = 0;
        float time = 0.0f;
        const void* texture = nullptr;
        float scale[3] = {1.0f, 1.0f, 1.0f};
    };
    std::vector<Book> books(kUnits);
    const std::vector<uint8_t> cells = Cells();
    // The package's texture table and the root's axis lengths and turn.
    std::vector<const void*> textures;
    for (uint32_t i = 0; i < b.package->GetTextureCount(); ++i)
        textures.push_back(b.package->GetTexture(static_cast<int32_t>(i)));
    const float axisLengths[2] = {1.0f, 1.0f};
    const float rootTurn = 0.0f;
    const FulgorCore::DrawDataType11& data = *b.Part()->GetDrawDataType11();
    const float offsetX = data.GetDwPx(), offsetY = data.GetDwPy();
    Compare(state, kUnits, UnitFrames(b, frame), [&] {
        for (int n = 0; n < kUnits; ++n) {
            const PlainOwner& o = owners[n];
            Book& book = books[n];
            book.time += 1.0f;
            for (;;) {
                uint16_t duration;
                std::memcpy(&duration, &cells[28 * book.cell + 2], 2);
                if (!(book.time >= duration))
                    break;
                book.cell = (book.cell + 1) % 3;
                book.time -= duration;
            }
            const uint8_t* cell = &cells[28 * book.cell];
            uint16_t texture, uv[4];
            float size[4];
            std::memcpy(&texture, cell, sizeof texture);
            std::memcpy(uv, cell + 4, sizeof uv);
            std::memcpy(size, cell + 12, sizeof size);
            book.texture = texture < textures.size() ? textures[texture] : nullptr;
            const float w = size[0] * book.scale[0] * axisLengths[0];
            const float h = size[1] * book.scale[1] * axisLengths[1];
            const float pivotX = -(size[2] * w), pivotY = size[3] * h;
            uint16_t packed[4];
            FulgorCore::PackFloat4ToU16(packed, o.color);
            const float turn[3] = {0.0f, 0.0f, rootTurn};
            const float position[3] = {o.matrix[9] + offsetX, o.matrix[10] + offsetY, o.matrix[11]};
            auto* v = static_cast<BillboardVertex*>(Staging::Take(4 * 48));
            FulgorCore::WriteQuadIndices(Staging::TakeIndices(6), 0);
            const FulgorCore::BillboardShared shared{position, 0.0f, turn, packed};
            FulgorCore::WriteBillboardVertex(v[0], shared, pivotX - w, pivotY + h, uv[0], uv[1]);
            FulgorCore::WriteBillboardVertex(v[1], shared, pivotX + w, pivotY + h, uv[2], uv[1]);
            FulgorCore::WriteBillboardVertex(v[2], shared, pivotX - w, pivotY - h, uv[0], uv[3]);
            FulgorCore::WriteBillboardVertex(v[3], shared, pivotX + w, pivotY - h, uv[2], uv[3]);
        }
    });
}
BENCHMARK(BM_Flipbooks)->Unit(benchmark::kMillisecond);

// Particle fields of 5 x 3 points drawn as quads.
constexpr int kFields = 500;
constexpr int kFieldPoints = 15;

void BM_Fields(benchmark::State& state) {
    effecttools::DrawDataType4Value field;
    field.fields = {{"DTyp", 2}, {"CrCt", 5}, {"Life", 60}, {"TCAI", 1}};
    field.bpCt = 3;
    field.colorTimes = {{"CoF1", 0}, {"CoF2", 10}, {"CoF3", 10}, {"CoF4", 30}};
    field.floats = {{"CoR1", 1.0f}, {"CoG1", 1.0f},  {"CoB1", 1.0f},  {"CoA1", 1.0f},
                    {"LMin", 1.0f}, {"LMax", 3.0f},  {"FArX", 8.0f},  {"FArY", 8.0f},
                    {"FArZ", 8.0f}};
    effecttools::DrawPartValue part;
    part.data = field;
    DrawBench b(state, OnePart(part), kFields);
    if (!b.ok)
        return;
    FulgorCore::DrawClock& frame = b.frame;
    // The plain field: each point ages, restarts at its life's end, moves
    // and takes its colour from the keys; its quad is prepared, then copied
    // with its indices into the staging area.
    struct Point {
        float position[3];
        float velocity[3];
        float age;
        float life;
    };
    std::vector<Point> points(kFields * kFieldPoints);
    for (size_t i = 0; i < points.size(); ++i)
        points[i] = {{0, 0, 0}, {0.01f * static_cast<float>(i % 7), 0.02f, 0}, 0.0f, 60.0f};
    std::vector<uint8_t> prepared(points.size() * 192);
    const float keys[4] = {0, 10, 10, 30};
    const float spans[3] = {10, 0, 20};
    const float turn[3] = {};
    Compare(state, points.size(), UnitFrames(b, frame, true), [&] {
        for (size_t i = 0; i < points.size(); ++i) {
            Point& p = points[i];
            p.age += 1.0f;
            if (p.age >= p.life) {
                p.age = 0.0f;
                p.position[0] = p.position[1] = p.position[2] = 0.0f;
            }
            for (int k = 0; k < 3; ++k)
                p.position[k] += p.velocity[k];
            float color[4] = {1, 1, 1, 1};
            for (int k = 0; k < 3; ++k)
                if (p.age >= keys[k] && p.age < keys[k + 1] && spans[k] > 0.0f)
                    color[3] = 1.0f - (p.age - keys[k]) / spans[k] * 0.5f;
            uint16_t packed[4];
            FulgorCore::PackFloat4ToU16(packed, color);
            auto* v = reinterpret_cast<BillboardVertex*>(&prepared[i * 192]);
            const FulgorCore::BillboardShared shared{p.position, 0.0f, turn, packed};
            FulgorCore::WriteBillboardVertex(v[0], shared, -1, 1, 0, 0);
            FulgorCore::WriteBillboardVertex(v[1], shared, 1, 1, 0x7fff, 0);
            FulgorCore::WriteBillboardVertex(v[2], shared, -1, -1, 0, 0x7fff);
            FulgorCore::WriteBillboardVertex(v[3], shared, 1, -1, 0x7fff, 0x7fff);
        }
        for (size_t first = 0; first < points.size(); first += 32) {
            const size_t k = std::min<size_t>(32, points.size() - first);
            uint16_t* index = Staging::TakeIndices(static_cast<uint32_t>(6 * k));
            for (size_t q = 0; q < k; ++q)
                FulgorCore::WriteQuadIndices(index + 6 * q, static_cast<uint16_t>(4 * q));
            std::memcpy(Staging::Take(k * 192), &prepared[first * 192], k * 192);
        }
    });
}
BENCHMARK(BM_Fields)->Unit(benchmark::kMillisecond);

// A band with every property on: size, colour, both alpha terms, the tint,
// its texture slot's index and two texture-coordinate sets, all drawn.
effecttools::DrawPartValue EverythingOn() {
    effecttools::LoopValue drawn;
    drawn.velocity = 1.0f;
    drawn.maximum = 10.0f;
    drawn.randomEnd = 1.0f;
    effecttools::DrawPartValue part;
    part.data =
        effecttools::DrawDataType3Value{effecttools::Constant(0.5f), effecttools::Constant(4.0f)};
    part.fields = {{"bPDs", 1}, {"bPDc", 1}, {"bPAo", 1}, {"bPAt", 1},
                   {"ApLD", 50}, {"ApLE", 50}, {"UvSC", 2}};
    part.drawSize = effecttools::TripleValue{0, drawn, drawn, drawn};
    effecttools::ColorValue colour;
    colour.red = colour.green = colour.blue = colour.alpha = colour.brightness = drawn;
    part.drawColor = colour;
    part.aOff = drawn;
    part.aTes = drawn;
    for (int i = 0; i < 2; ++i)
        part.uvLayers.push_back({0u, 1u, std::nullopt, std::nullopt, drawn});
    return part;
}

void BM_BuildAndTearDown(benchmark::State& state) {
    effecttools::EffectFileValue f = OnePart(EverythingOn());
    effecttools::LoopValue drawn;
    drawn.velocity = 1.0f;
    drawn.maximum = 10.0f;
    drawn.randomEnd = 1.0f;
    f.package.units[0].drawParts[0].textureLayers["TCo1"].number = drawn;
    f.package.units[0].drawParts[0].textureLayers["TCo1"].list = std::vector<int8_t>{0, 0};
    DrawBench b(state, f, kUnits, false);
    if (!b.ok)
        return;
    // The plain build: three blocks off a free list, the identity matrix,
    // the members chosen by the same flags, 21 values drawn from the same
    // generator; the teardown gives the blocks back.
    using Member = void (*)();
    struct PlainUnit {
        void* blocks[3];
        float matrix[12];
        Member members[9];
        float values[21];
    };
    std::vector<uint8_t> arena(size_t{3 * kUnits + 16} * FulgorCore::kUnitBlockStride);
    std::vector<void*> freeList;
    for (size_t i = 0; i < 3 * kUnits + 16; ++i)
        freeList.push_back(&arena[i * FulgorCore::kUnitBlockStride]);
    std::vector<PlainUnit*> plainUnits(kUnits);
    static void (*const kMembers[2])() = {[] {}, [] {}};
    const uint32_t flags = 0x3F;
    FulgorCore::Xorshift128 random;
    b.units.reserve(kUnits);
    Compare(
        state, kUnits,
        [&] {
            for (ParticleInstance* owner : b.owners) {
                bool noBlock = false;
                b.units.push_back(FulgorCore::CreateDrawUnit(owner, b.Part(), noBlock));
            }
            for (DrawUnit* unit : b.units)
                delete unit;
            b.units.clear();
        },
        [&] {
            for (PlainUnit*& u : plainUnits) {
                void* own = freeList.back();
                freeList.pop_back();
                u = new (own) PlainUnit;
                u->blocks[0] = own;
                for (int k = 1; k < 3; ++k) {
                    u->blocks[k] = freeList.back();
                    freeList.pop_back();
                }
                static constexpr float kIdentity[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
                std::memcpy(u->matrix, kIdentity, sizeof kIdentity);
                for (int m = 0; m < 9; ++m)
                    u->members[m] = kMembers[(flags >> (m % 6)) & 1u];
                for (float& v : u->values)
                    v = static_cast<float>(random.Next() >> 8) * (1.0f / 16777216.0f);
            }
            for (PlainUnit* u : plainUnits)
                for (int k = 2; k >= 0; --k)
                    freeList.push_back(u->blocks[k]);
        });
}
BENCHMARK(BM_BuildAndTearDown)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
