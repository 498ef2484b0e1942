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
constexpr uint32_t kStride = 36; // formats 1 and 2
constexpr uint32_t kTrailMiddle = 12;
constexpr uint32_t kStripMiddle = 5;

// The values every record holds: the tests' stated ones.
const Fx::RibbonFrameValues kValues = testsupport::StatedRibbonValues();

// One ribbon as both sides see it: the arrays prepared once, where its
// indices and vertices go, and what the plain loop needs to know of it.
struct Ribbon {
    uint32_t kind; // 0 axis, 1 cross, 2 facing
    uint32_t perPoint;
    bool twoRanges;
    uint32_t words; // per vertex
    uint32_t n;
    uint32_t middle;
    float polygonOffset;
    uint8_t parameters[4];
    std::vector<float> positions, axes[2];
    std::vector<uint32_t> textureWords;
    size_t vertexAt, indexAt;
    uint16_t first;
    Fx::DrawUnit* unit = nullptr;
    Fx::DrawCommand::Geometry geometry = nullptr;
};

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

// ---- The plain loop -------------------------------------------------------

struct Head {
    float position[4];
    uint16_t color[4];
    uint8_t parameters[4];
};

void PackAt(uint16_t* out, const float* base, const float* slope, float t) {
    float c[4];
    for (int i = 0; i < 4; ++i)
        c[i] = base[i] + t * slope[i];
    Fx::PackFloat4ToU16(out, c);
}

void PlainIndices(uint16_t* out, uint16_t first, uint32_t perPoint, uint32_t ribbons, uint32_t n) {
    for (uint32_t r = 0; r < ribbons; ++r)
        for (uint32_t i = 0; i + 1 < n; ++i) {
            const auto v = static_cast<uint16_t>(first + perPoint * (r * n + i));
            if (perPoint == 2) {
                const uint16_t s[6] = {uint16_t(v + 3), v, uint16_t(v + 1), uint16_t(v + 3),
                                       uint16_t(v + 2), v};
                std::memcpy(out, s, sizeof(s));
                out += 6;
            } else {
                const uint16_t s[12] = {uint16_t(v + 4),
                                        uint16_t(v + 3),
                                        v,
                                        v,
                                        uint16_t(v + 1),
                                        uint16_t(v + 4),
                                        uint16_t(v + 2),
                                        uint16_t(v + 5),
                                        uint16_t(v + 4),
                                        uint16_t(v + 4),
                                        uint16_t(v + 1),
                                        uint16_t(v + 2)};
                std::memcpy(out, s, sizeof(s));
                out += 12;
            }
        }
}

void PlainPoint(uint8_t* at, Head& h, uint32_t perPoint, const float* p, const float* d, float w,
                const uint16_t* centre, const uint16_t* edge) {
    std::memcpy(h.color, edge, 8);
    for (int c = 0; c < 3; ++c)
        h.position[c] = p[c] - w * d[c];
    std::memcpy(at, &h, 28);
    if (perPoint == 3) {
        Head m = h;
        std::memcpy(m.position, p, 12);
        std::memcpy(m.color, centre, 8);
        std::memcpy(at + kStride, &m, 28);
    }
    for (int c = 0; c < 3; ++c)
        h.position[c] = p[c] + w * d[c];
    std::memcpy(at + (perPoint - 1) * kStride, &h, 28);
}

void PlainRange(const Ribbon& r, uint8_t* out, const float* camera, uint32_t from, uint32_t to,
                float step, float width, float span, const float* centre, const float* centreSlope,
                const float* edge, const float* edgeSlope) {
    Head h;
    h.position[3] = r.polygonOffset;
    std::memcpy(h.parameters, r.parameters, 4);
    const size_t pointBytes = size_t{r.perPoint} * kStride;
    float t = 0.0f;
    for (uint32_t i = from; i < to; ++i, t += step) {
        uint16_t c[4], e[4];
        PackAt(c, centre, centreSlope, t);
        if (r.perPoint == 3)
            PackAt(e, edge, edgeSlope, t);
        const uint16_t* sides = r.perPoint == 3 ? e : c;
        const float w = width + span * t;
        const float* p = &r.positions[3 * i];
        float d[3];
        if (r.kind == 2) {
            const float* a = &r.positions[3 * (i > 0 ? i - 1 : 0)];
            const float* b = &r.positions[3 * (i + 1 < r.n ? i + 1 : r.n - 1)];
            const float tv[3] = {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
            const float v[3] = {p[0] - camera[0], p[1] - camera[1], p[2] - camera[2]};
            d[0] = tv[1] * v[2] - tv[2] * v[1];
            d[1] = tv[2] * v[0] - tv[0] * v[2];
            d[2] = tv[0] * v[1] - tv[1] * v[0];
            const float y = Fx::Math::ReciprocalSqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
            d[0] *= y;
            d[1] *= y;
            d[2] *= y;
        } else {
            std::memcpy(d, &r.axes[0][3 * i], 12);
        }
        uint8_t* at = out + i * pointBytes;
        PlainPoint(at, h, r.perPoint, p, d, w, c, sides);
        if (r.kind == 1) {
            std::memcpy(d, &r.axes[1][3 * i], 12);
            PlainPoint(at + r.n * pointBytes, h, r.perPoint, p, d, w, c, sides);
        }
    }
}

void PlainRibbon(const Ribbon& r, uint8_t* vertices, uint16_t* indices, const float* camera) {
    const uint32_t ribbons = r.kind == 1 ? 2 : 1;
    const uint32_t n = r.n;
    PlainIndices(indices, r.first, r.perPoint, ribbons, n);
    for (uint32_t rb = 0; rb < ribbons; ++rb) {
        uint8_t* v = vertices + size_t{rb} * n * r.perPoint * kStride + 28;
        const uint32_t* w = r.textureWords.data();
        for (uint32_t j = 0; j < n * r.perPoint; ++j, v += kStride, w += r.words)
            std::memcpy(v, w, 4 * r.words);
    }
    const Fx::RibbonFrameValues& x = kValues;
    if (!r.twoRanges) {
        PlainRange(r, vertices, camera, 0, n, n > 1 ? 1.0f / static_cast<float>(n - 1) : 0.0f,
                   x.headWidth, x.tailWidth - x.headWidth, x.centreColor, x.firstDelta, x.edgeColor,
                   x.secondDelta);
        return;
    }
    const uint32_t k = r.middle < n ? r.middle : n;
    if (k > 0)
        PlainRange(r, vertices, camera, 0, k, 1.0f / static_cast<float>(k), x.headWidth,
                   x.middleWidth - x.headWidth, x.centreColor, x.firstDelta, x.edgeColor,
                   x.secondDelta);
    if (k < n) {
        const uint32_t rest = n - k - 1;
        PlainRange(r, vertices, camera, k, n, rest ? 1.0f / static_cast<float>(rest) : 1.0f,
                   x.middleWidth, x.tailWidth - x.middleWidth, x.middleColor,
                   r.perPoint == 3 ? x.thirdDelta : x.secondDelta, x.middleEdgeColor,
                   x.fourthDelta);
    }
}

// ---- The benchmark --------------------------------------------------------

void BM_RibbonWriters(benchmark::State& state) {
    testsupport::RuntimeStartup runtime;
    runtime.light.keep = false;
    runtime.units.assign(16u << 20, 0);
    runtime.parameter.UnitInstanceMemory = runtime.units.data();
    runtime.parameter.UnitInstanceMemorySize = 16u << 20;
    runtime.cache.assign(8u << 20, 0);
    runtime.parameter.CacheBufferMemory = runtime.cache.data();
    runtime.parameter.CacheBufferMemorySize = 8u << 20;
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
    std::vector<Ribbon> ribbons(kTrails + kStrips);
    size_t vertexBytes = 0, indexCount = 0;
    uint32_t firstVertex = 0;
    bool made = true;
    for (uint32_t i = 0; i < kTrails + kStrips; ++i) {
        Ribbon& r = ribbons[i];
        const bool strip = i >= kTrails;
        const uint32_t variant = strip ? i % 4 : (i / 3) % 4;
        r.kind = strip ? 2 : i % 3;
        r.perPoint = variant % 2 == 1 ? 3 : 2;
        r.twoRanges = variant >= 2;
        r.words = strip ? 1 : 2;
        r.n = strip ? kStripPoints : kTrailPoints;
        r.middle = strip ? kStripMiddle : kTrailMiddle;
        r.positions.resize(3 * r.n);
        r.axes[0].resize(3 * r.n);
        r.axes[1].resize(3 * r.n);
        for (uint32_t p = 0; p < r.n; ++p) {
            const float a = 0.2f * static_cast<float>(p) + static_cast<float>(i);
            const float pos[3] = {std::cos(a), 0.1f * static_cast<float>(p), std::sin(a)};
            const float first[3] = {-std::sin(a), 0.0f, std::cos(a)};
            const float second[3] = {0.0f, 0.5f, 0.0f};
            std::memcpy(&r.positions[3 * p], pos, 12);
            std::memcpy(&r.axes[0][3 * p], first, 12);
            std::memcpy(&r.axes[1][3 * p], second, 12);
        }
        r.textureWords.resize(size_t{r.n} * r.perPoint * r.words);
        for (size_t w = 0; w < r.textureWords.size(); ++w)
            r.textureWords[w] = static_cast<uint32_t>(w * 0x00010003u + i);
        const uint32_t count = r.n * r.perPoint * (r.kind == 1 ? 2 : 1);
        r.vertexAt = vertexBytes;
        r.indexAt = indexCount;
        r.first = static_cast<uint16_t>(firstVertex);
        vertexBytes += size_t{count} * kStride;
        indexCount += size_t{r.n - 1} * (r.perPoint == 3 ? 12 : 6) * (r.kind == 1 ? 2 : 1);
        firstVertex += count;
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
    std::vector<uint8_t> unitVertices(vertexBytes), plainVertices(vertexBytes);
    std::vector<uint16_t> unitIndices(indexCount), plainIndices(indexCount);
    auto unitFrame = [&] {
        for (const Ribbon& r : ribbons) {
            Fx::DrawPayload payload;
            payload.vertices = unitVertices.data() + r.vertexAt;
            payload.indices = unitIndices.data() + r.indexAt;
            payload.firstVertex = r.first;
            r.geometry(r.unit, payload);
        }
    };
    auto plainFrame = [&] {
        for (const Ribbon& r : ribbons)
            PlainRibbon(r, plainVertices.data() + r.vertexAt, plainIndices.data() + r.indexAt,
                        camera);
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
    for (Ribbon& r : ribbons)
        delete r.unit;
    delete owner;
    delete root;
    Fx::Engine::ReleaseResource(effect.index, effect.serial);
}
BENCHMARK(BM_RibbonWriters)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
