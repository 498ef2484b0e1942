// Trails built from their data, through their frame geometry build, submit
// and vertex writer. Each frame 500 trails of 32 points (format 2, MidKey
// and CentreLine; axis, cross and billboard in turn, one instance each)
// build their texture words, widths and colours, and the renderer's layer
// draw submits them into a do-nothing device's staging memory, where their
// commands write the indices and vertices from the same resampled points
// every frame. Against it a plain loop writes the same texture words,
// indices and vertices from the same points and values into plain buffers.
// The goal is at least half the plain loop's rate ("ratio", the plain
// loop's time over the units'), with no allocation per frame.
#include "support/effects/EffectFiles.h"
#include "support/effects/RenderRig.h"
#include "support/effects/RibbonBuildValues.h"
#include "support/effects/SilentDevice.h"
#include "support/effects/UnitTreeRig.h"

#include "bench/AllocationCount.h"
#include "bench/support/PlainLayerCalls.h"
#include "bench/support/PlainRibbon.h"
#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Math/FloatConversion.h"
#include "effects/Core/Memory/FrameWorkMemory.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/Core/Resource/UnitResource.h"
#include "effects/drawunits/AxisTrailDrawUnit.h"
#include "effects/drawunits/BillboardTrailDrawUnit.h"
#include "effects/drawunits/CrossTrailDrawUnit.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

namespace Fx = FulgorCore;
using effecttools::Constant;

constexpr uint32_t kTrails = 500;
constexpr uint32_t kPoints = 32;
constexpr uint32_t kMiddle = 12;
constexpr uint32_t kSets = 2;
constexpr uint32_t kPerPoint = 3;

// Sub-kinds 1 (along X), 4 (crossed) and 0 (billboard), in the plain
// loop's kind order.
constexpr uint32_t kSubKinds[3] = {1, 4, 0};

effecttools::EffectFileValue TrailEffect() {
    effecttools::EffectFileValue f = testsupport::TreeEffect("vfx/trails.vfxb", 3, 0);
    for (uint32_t k = 0; k < 3; ++k) {
        effecttools::DrawDataType12Value trail;
        trail.fields = {
            {"TDT", kSubKinds[k]}, {"PtCn", kPoints}, {"PtCN", kMiddle}, {"bCPE", 1}, {"bECE", 1}};
        trail.floats = {{"Wid", Constant(1.0f)},
                        {"WidH", Constant(0.2f)},
                        {"WidC", Constant(0.1f)},
                        {"WidT", Constant(0.05f)}};
        trail.colors = {{"ColH", testsupport::ConstantColour(1, 0.5f, 0.2f, 1)},
                        {"ColC", testsupport::ConstantColour(0.5f, 1, 0.5f, 0.8f)},
                        {"ColT", testsupport::ConstantColour(0.2f, 0.4f, 1, 0)},
                        {"CoEH", testsupport::ConstantColour(0.5f, 0.2f, 0.1f, 1)},
                        {"CoEC", testsupport::ConstantColour(0.2f, 0.5f, 0.2f, 0.6f)},
                        {"CoET", testsupport::ConstantColour(0.1f, 0.2f, 0.5f, 0)}};
        effecttools::DrawPartValue part;
        part.data = trail;
        part.fields = {{"UvSC", kSets}};
        f.package.units[k].drawParts.push_back(part);
    }
    return f;
}

Fx::DrawUnit* MakeTrail(uint32_t kind, Fx::ParticleInstance* owner,
                        const Fx::ParticleResource* data) {
    if (kind == 0)
        return Fx::DrawUnit::Create<Fx::AxisTrailDrawUnit<kSets>>(owner, data);
    if (kind == 1)
        return Fx::DrawUnit::Create<Fx::CrossTrailDrawUnit<kSets>>(owner, data);
    return Fx::DrawUnit::Create<Fx::BillboardTrailDrawUnit<kSets>>(owner, data);
}

// What the build's coordinate writer computes, plainly: per point and
// vertex (u 1, 0.5, 0 across), the sets' identity transforms.
void PlainWords(uint32_t* words, uint32_t n) {
    const float step = 1.0f / static_cast<float>(n - 1);
    float y = -0.5f;
    auto* out = reinterpret_cast<uint16_t*>(words);
    for (uint32_t j = 0; j < n; ++j, y += step)
        for (const float x : {0.5f, 0.0f, -0.5f})
            for (uint32_t k = 0; k < kSets; ++k) {
                const float* m = testsupport::kCentred + 8 * k;
                *out++ = static_cast<uint16_t>(
                    Fx::Math::TruncateToInt32((m[0] * x + m[1] * y + m[3]) * 1000.0f));
                *out++ = static_cast<uint16_t>(
                    Fx::Math::TruncateToInt32((m[4] * x + m[5] * y + m[7]) * 1000.0f));
            }
}

void BM_TrailFrames(benchmark::State& state) {
    testsupport::SilentDevice device;
    testsupport::RenderRig rig(device, kTrails + 24, 1u << 19);
    std::vector<uint8_t> cache(8u << 20);
    rig.parameter.CacheBufferMemory = cache.data();
    rig.parameter.CacheBufferMemorySize = static_cast<uint32_t>(cache.size());
    rig.parameter.VertexBufferTotalSize = 8u << 20;
    rig.parameter.IndexBufferTotalSize = 2u << 20;
    if (!rig.Start()) {
        state.SkipWithError("the runtime did not start");
        return;
    }
    testsupport::RenderRig::Engine()->layerDepthSort[0] = 0;
    const Fx::PackageResource* package = rig.Load(testsupport::Write(TrailEffect()));
    if (!package) {
        state.SkipWithError("the effect did not load");
        return;
    }
    Fx::FrameWorkMemory& memory = Fx::Engine::GetFrameWorkMemory();
    std::vector<bench::Ribbon> ribbons(kTrails);
    std::vector<Fx::TrailDrawUnitBase*> units(kTrails);
    bench::RibbonPlaces places;
    for (uint32_t i = 0; i < kTrails; ++i) {
        bench::Ribbon& r = ribbons[i];
        r.kind = i % 3;
        r.perPoint = kPerPoint;
        r.twoRanges = true;
        r.words = kSets;
        r.n = kPoints;
        r.middle = kMiddle;
        // The resampled points: a helix, its axes turning along it.
        bench::LayRibbon(r, i, places);

        testsupport::RenderRig::Instance& instance = rig.AddInstance(i);
        auto* t = static_cast<Fx::TrailDrawUnitBase*>(rig.AddDrawUnit(
            instance, MakeTrail(r.kind, rig.Owner(), package->GetUnit(r.kind)->GetDrawPart(0))));
        if (!t || !t->record) {
            state.SkipWithError("a trail had no pool block");
            return;
        }
        units[i] = t;
        r.unit = t;
        t->record->positions = r.positions.data();
        t->record->firstAxes = r.axes[0].data();
        t->record->secondAxes = r.axes[1].data();
        std::memcpy(r.parameters, t->parameters, 4);
        r.polygonOffset = t->GetPolygonOffset();
    }
    const Fx::DrawClock clock = [] {
        Fx::DrawClock c;
        c.lastStep = 1.0f;
        return c;
    }();
    auto unitFrame = [&] {
        memory.Flip();
        for (Fx::TrailDrawUnitBase* t : units)
            t->ops.build(t, clock, testsupport::kCentred, 1.0f);
        rig.DrawFrame();
    };
    std::vector<uint8_t> plainVertices(places.vertexBytes);
    std::vector<uint16_t> plainIndices(places.indexCount);
    const float camera[3] = {};
    auto plainFrame = [&] {
        for (bench::Ribbon& r : ribbons) {
            PlainWords(r.textureWords.data(), r.n);
            bench::WritePlainRibbon(r, static_cast<Fx::TrailDrawUnitBase*>(r.unit)->record->ribbon,
                                    plainVertices.data() + r.vertexAt,
                                    plainIndices.data() + r.indexAt, camera);
        }
    };
    unitFrame(); // warm-up: the values the plain loop reads
    plainFrame();
    const uint64_t drawsBefore = device.draws;
    uint64_t allocations = 0;
    double unitSeconds = 0.0, plainSeconds = 0.0;
    bool stopped = false;
    for (auto _ : state) {
        const uint64_t before = bench::AllocationCount();
        const double t0 = bench::ThreadSeconds();
        unitFrame();
        const double t1 = bench::ThreadSeconds();
        allocations += bench::AllocationCount() - before;
        plainFrame();
        benchmark::ClobberMemory();
        const double t2 = bench::ThreadSeconds();
        unitSeconds += t1 - t0;
        plainSeconds += t2 - t1;
        stopped = stopped || rig.Owner()->alive == 0;
    }
    benchmark::DoNotOptimize(plainVertices.data());
    if (stopped)
        state.SkipWithError("frame memory ran out");
    const double frames = static_cast<double>(state.iterations());
    state.counters["unit frames/s"] = unitSeconds > 0 ? frames / unitSeconds : 0.0;
    state.counters["plain frames/s"] = plainSeconds > 0 ? frames / plainSeconds : 0.0;
    state.counters["ratio"] = unitSeconds > 0 ? plainSeconds / unitSeconds : 0.0;
    state.counters["draws/frame"] =
        frames > 0 ? static_cast<double>(device.draws - drawsBefore) / frames : 0.0;
    state.counters["allocations"] = static_cast<double>(allocations);
}
BENCHMARK(BM_TrailFrames)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
