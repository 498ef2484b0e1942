// The trails' and generated-line strips' geometry writing. Each frame 500
// trails of 32 points (format 2; axis, cross and billboard kinds and the
// four variants in turn) and 200 generated-line strips of 16 points
// (format 1, the four variants in turn) run their geometry callbacks
// (indices, then the unit's vertex writer) from records prepared once,
// against a plain loop over plain structs writing the same vertices and
// indices from the same values. The goal is at least half the plain
// loop's rate ("ratio", the plain loop's time over the units'), with no
// allocation after the first frame (operator new and the runtime's
// allocator callbacks counted); "same bytes" is 1 when both wrote the
// same buffers.
#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Engine/ObjectSlot.h"
#include "effects/Core/Math/FastRoot.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/Core/Resource/UnitResource.h"
#include "effects/drawunits/AxisTrailDrawUnit.h"
#include "effects/drawunits/BillboardTrailDrawUnit.h"
#include "effects/drawunits/CrossTrailDrawUnit.h"
#include "effects/drawunits/DrawCommand.h"
#include "effects/drawunits/PackColor.h"
#include "effects/drawunits/StripDrawUnit.h"
#include "effects/render/LineStripGeometry.h"
#include "effects/render/Renderer.h"
#include "effects/render/RendererWorkData.h"
#include "effects/render/TrailGeometry.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/ParticleInstance.h"
#include "support/effects/RibbonRig.h"
#include "support/effects/RuntimeStartup.h"
#include "support/effects/StandInParticle.h"
#include "support/effects/UnitTreeRig.h"

#include "bench/AllocationCount.h"
#include "bench/support/PlainRibbon.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

namespace Fx = FulgorCore;

constexpr uint32_t kTrails = 500;
constexpr uint32_t kTrailPoints = 32;
constexpr uint32_t kStrips = 200;
constexpr uint32_t kStripPoints = 16;
constexpr uint32_t kTrailMiddle = 12;
constexpr uint32_t kStripMiddle = 5;

// The values every record holds: the tests' stated ones.
const Fx::RibbonFrameValues kValues = testsupport::StatedRibbonValues();

// Trail is the unit class template, SubKind its sub-kind: the geometry
// callback is instantiated on the class template itself (the runtime's
// instantiations are of it, not of an alias to it).
template <template <uint32_t> class Trail, uint32_t SubKind, class Variant>
Fx::DrawUnit* MakeTrail(Fx::ParticleInstance* owner, const Fx::ParticleResource* data,
                        Fx::DrawCommand::Geometry& geometry) {
    using Unit = Trail<2>;
    using Indices =
        std::conditional_t<Variant::kVerticesPerPoint == 3, Fx::CentreLine, Fx::PlainLine>;
    Fx::TrailDrawUnitBase::Values v;
    v.subKind = SubKind;
    v.pointCount = kTrailPoints;
    v.ops.write = Unit::template WriteVertices<Variant>;
    geometry = Fx::WriteTrailIndices<Trail, Indices>;
    return Fx::DrawUnit::Create<Unit>(owner, data, v);
}
template <template <uint32_t> class Trail, uint32_t SubKind>
Fx::DrawUnit* MakeTrailOf(uint32_t variant, Fx::ParticleInstance* owner,
                          const Fx::ParticleResource* data, Fx::DrawCommand::Geometry& geometry) {
    switch (variant) {
    case 0:
        return MakeTrail<Trail, SubKind, Fx::PlainLine>(owner, data, geometry);
    case 1:
        return MakeTrail<Trail, SubKind, Fx::CentreLine>(owner, data, geometry);
    case 2:
        return MakeTrail<Trail, SubKind, Fx::MidKey>(owner, data, geometry);
    default:
        return MakeTrail<Trail, SubKind, Fx::MidKeyCentreLine>(owner, data, geometry);
    }
}
Fx::DrawCommand::Geometry LineStripGeometry(uint32_t variant) {
    constexpr Fx::DrawCommand::Geometry kByVariant[4] = {
        Fx::WriteLineStripGeometry<1, Fx::PlainLine>, Fx::WriteLineStripGeometry<1, Fx::CentreLine>,
        Fx::WriteLineStripGeometry<1, Fx::MidKey>,
        Fx::WriteLineStripGeometry<1, Fx::MidKeyCentreLine>};
    return kByVariant[variant];
}

effecttools::EffectFileValue WriterEffect() {
    effecttools::EffectFileValue f = testsupport::TreeEffect("vfx/ribbons.vfxb", 2, 0);
    effecttools::DrawDataType12Value trail;
    trail.fields = {{"PtCN", kTrailMiddle}};
    effecttools::DrawPartValue a;
    a.data = trail;
    f.package.units[0].drawParts.push_back(a);
    effecttools::DrawDataType6Value strip;
    strip.fields = {{"PtCN", kStripMiddle}};
    effecttools::DrawPartValue b;
    b.data = strip;
    f.package.units[1].drawParts.push_back(b);
    return f;
}

// ---- The benchmark --------------------------------------------------------

void BM_RibbonWriters(benchmark::State& state) {
    testsupport::RuntimeStartup runtime;
    runtime.light.keep = false;
    runtime.Resize(16u << 20, 8u << 20);
    if (!runtime.Start()) {
        state.SkipWithError("the runtime did not start");
        return;
    }
    const Fx::ObjectHandle effect = testsupport::LoadEffect(testsupport::Write(WriterEffect()));
    const Fx::PackageResource* package =
        Fx::Engine::GetWorkData()->objects.base[effect.index].package;
    Fx::UnitInstance::InitialState start;
    start.timeMode = Fx::UnitInstance::kEndless;
    constexpr float kIdentity[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
    auto* root = Fx::UnitInstance::Create<Fx::InstanceRootUnit>(package, start, nullptr, kIdentity,
                                                                1u, 0xFFu);
    Fx::UnitInstance::InitialState clock;
    clock.parent = root;
    clock.timeMode = Fx::UnitInstance::kEndless;
    Fx::ParticleInstance* owner = testsupport::StandInParticle(root, clock);
    root->rootParameter = 0.01f;
    const float camera[4] = {0.5f, 2.0f, -30.0f, 0.0f};
    Fx::Renderer::GetWorkData()->viewVector = camera;

    // The ribbons: a helix each, its axes turning along it.
    std::vector<bench::Ribbon> ribbons(kTrails + kStrips);
    bench::RibbonPlaces places;
    bool made = true;
    for (uint32_t i = 0; i < kTrails + kStrips; ++i) {
        bench::Ribbon& r = ribbons[i];
        const bool strip = i >= kTrails;
        const uint32_t variant = strip ? i % 4 : (i / 3) % 4;
        r.kind = strip ? 2 : i % 3;
        r.perPoint = variant % 2 == 1 ? 3 : 2;
        r.twoRanges = variant >= 2;
        r.words = strip ? 1 : 2;
        r.n = strip ? kStripPoints : kTrailPoints;
        r.middle = strip ? kStripMiddle : kTrailMiddle;
        bench::LayRibbon(r, i, places);
        for (size_t w = 0; w < r.textureWords.size(); ++w)
            r.textureWords[w] = static_cast<uint32_t>(w * 0x00010003u + i);
        const uint8_t params[4] = {uint8_t(i), 2, 3, 4};
        std::memcpy(r.parameters, params, 4);
        if (strip) {
            Fx::StripDrawUnitBase::Values v;
            v.pointSource = Fx::StripDrawUnitBase::kGeneratedLine;
            v.pointCount = r.n;
            auto* unit = Fx::DrawUnit::Create<Fx::StripDrawUnit<1>>(
                owner, package->GetUnit(1)->GetDrawPart(0), v);
            r.unit = unit;
            r.geometry = LineStripGeometry(variant);
            if (unit && unit->record) {
                static_cast<Fx::RibbonFrameValues&>(*unit->record) = kValues;
                std::memcpy(unit->record->parameters, params, 4);
                unit->record->textureWords = r.textureWords.data();
                unit->points = r.positions.data();
            }
        } else {
            const Fx::ParticleResource* data = package->GetUnit(0)->GetDrawPart(0);
            r.unit =
                r.kind == 0
                    ? MakeTrailOf<Fx::AxisTrailDrawUnit, 1>(variant, owner, data, r.geometry)
                : r.kind == 1
                    ? MakeTrailOf<Fx::CrossTrailDrawUnit, 4>(variant, owner, data, r.geometry)
                    : MakeTrailOf<Fx::BillboardTrailDrawUnit, 0>(variant, owner, data, r.geometry);
            if (auto* t = static_cast<Fx::TrailDrawUnitBase*>(r.unit); t && t->record) {
                t->record->ribbon = kValues;
                std::memcpy(t->parameters, params, 4);
                t->record->textureWords = r.textureWords.data();
                t->record->positions = r.positions.data();
                t->record->firstAxes = r.axes[0].data();
                t->record->secondAxes = r.axes[1].data();
            }
        }
        made = made && r.unit;
        if (r.unit)
            r.polygonOffset = r.unit->GetPolygonOffset();
    }
    std::vector<uint8_t> unitVertices(places.vertexBytes), plainVertices(places.vertexBytes);
    std::vector<uint16_t> unitIndices(places.indexCount), plainIndices(places.indexCount);
    auto unitFrame = [&] {
        for (const bench::Ribbon& r : ribbons) {
            Fx::DrawPayload payload;
            payload.vertices = unitVertices.data() + r.vertexAt;
            payload.indices = unitIndices.data() + r.indexAt;
            payload.firstVertex = r.first;
            r.geometry(r.unit, payload);
        }
    };
    auto plainFrame = [&] {
        for (const bench::Ribbon& r : ribbons)
            bench::WritePlainRibbon(r, kValues, plainVertices.data() + r.vertexAt,
                                    plainIndices.data() + r.indexAt, camera);
    };
    if (made) {
        unitFrame();
        plainFrame();
    }
    const bool same = made && unitVertices == plainVertices && unitIndices == plainIndices;

    const size_t callbacksBefore = testsupport::CountingAllocator::Calls().size();
    uint64_t allocations = 0;
    double unitSeconds = 0.0, plainSeconds = 0.0;
    using Clock = std::chrono::steady_clock;
    for (auto _ : state) {
        if (!made)
            break;
        const uint64_t before = bench::AllocationCount();
        const auto t0 = Clock::now();
        unitFrame();
        benchmark::ClobberMemory();
        const auto t1 = Clock::now();
        allocations += bench::AllocationCount() - before;
        plainFrame();
        benchmark::ClobberMemory();
        const auto t2 = Clock::now();
        unitSeconds += std::chrono::duration<double>(t1 - t0).count();
        plainSeconds += std::chrono::duration<double>(t2 - t1).count();
    }
    benchmark::DoNotOptimize(unitVertices.data());
    benchmark::DoNotOptimize(plainVertices.data());
    if (!made)
        state.SkipWithError("a unit had no pool block");
    const double frames = static_cast<double>(state.iterations());
    state.counters["unit frames/s"] = unitSeconds > 0 ? frames / unitSeconds : 0.0;
    state.counters["plain frames/s"] = plainSeconds > 0 ? frames / plainSeconds : 0.0;
    state.counters["ratio"] = unitSeconds > 0 ? plainSeconds / unitSeconds : 0.0;
    state.counters["same bytes"] = same ? 1.0 : 0.0;
    state.counters["allocations"] = static_cast<double>(allocations);
    state.counters["callback allocations"] =
        static_cast<double>(testsupport::CountingAllocator::Calls().size() - callbacksBefore);

    Fx::Renderer::GetWorkData()->viewVector = nullptr;
    for (bench::Ribbon& r : ribbons)
        delete r.unit;
    delete owner;
    delete root;
    Fx::Engine::ReleaseResource(effect.index, effect.serial);
}
BENCHMARK(BM_RibbonWriters)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
