// The plane-shaped units' geometry from their data to the device's memory.
// Per frame 300 rings (64 segments, centre line, two texture sets), 1,000
// circles of 32 segments and 2,000 quads (one set each), built from their
// data once, run their Update (a ring's frame geometry build; a circle's
// and quad's record) and are drawn by the renderer (reservation and
// submit, then the geometry callbacks into the mapped memory of a device
// that does nothing). Each iteration also runs a plain loop that writes the
// same vertex and index bytes straight from the same tables and values
// into a buffer of its own. "ratio" is the plain loop's time over the
// units' (the goal is at least 0.5); "allocations" counts operator new
// calls over the timed frames (the goal is 0).
#include "support/effects/DrawUnitRig.h"
#include "support/effects/EffectFiles.h"
#include "support/effects/RenderRig.h"
#include "support/effects/SilentDevice.h"

#include "bench/support/PlainRibbonIndices.h"
#include "bench/support/RatioLoop.h"
#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Memory/FrameWorkMemory.h"
#include "effects/drawunits/DrawUnitFactory.h"
#include "effects/drawunits/DrawVertices.h"
#include "effects/drawunits/PackColor.h"
#include "effects/drawunits/VertexFormat.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

namespace Fx = FulgorCore;
using effecttools::Constant;

constexpr uint32_t kRings = 300;
constexpr uint32_t kCircles = 1000;
constexpr uint32_t kQuads = 2000;
constexpr uint32_t kRingSegments = 64;
constexpr uint32_t kCircleSegments = 32;
constexpr uint32_t kPerInstance = 20;
constexpr uint32_t kStride = 36;
constexpr float kRadius = 4.0f;
constexpr float kHalfWidth = 1.0f;

// Parts 0-2: the ring, the circle and the quad.
effecttools::EffectFileValue Effect() {
    std::vector<effecttools::DrawPartValue> parts(3);
    effecttools::DrawDataType7Value ring;
    ring.pointCount = kRingSegments;
    ring.ece = true;
    ring.floats = {{"Rad", Constant(kRadius)}, {"Wid", Constant(kHalfWidth)},
                   {"Hei", Constant(0.0f)},    {"WidI", Constant(1.0f)},
                   {"WidO", Constant(1.0f)},   {"HeiI", Constant(1.0f)},
                   {"HeiO", Constant(1.0f)}};
    ring.colors = {{"ColC", {}}, {"ColI", {}}, {"ColO", {}}};
    parts[0].data = ring;
    parts[0].fields = {{"UvSC", 2}};
    parts[0].uvLayers = {testsupport::IdentityUvSet(), testsupport::IdentityUvSet()};
    effecttools::DrawDataType8Value circle;
    circle.count = Constant(static_cast<float>(kCircleSegments));
    parts[1].data = circle;
    parts[2].data = effecttools::DrawDataType9Value{};
    for (uint32_t k = 1; k < 3; ++k) {
        parts[k].fields = {{"UvSC", 1}};
        parts[k].uvLayers = {testsupport::IdentityUvSet()};
    }
    return testsupport::DrawEffect(parts, 0);
}

// The same bytes written straight: the table's points through the
// owner's translation, the packed white, the texture words of the identity
// transforms, and the indices of each shape.
void PlainFrame(const float* table64, const float* table32, uint8_t* vertices, uint16_t* indices) {
    const uint16_t white[4] = {1000, 1000, 1000, 1000};
    const uint8_t parameters[4] = {};
    const float w = 0.0f;
    uint16_t first = 0;
    const auto put = [&](const float* at, float u, float v, uint32_t sets) {
        Fx::WriteVertexHead(vertices, at, w, white, parameters);
        // Each set through its own (identity) transform.
        for (uint32_t s = 0; s < sets; ++s) {
            const uint32_t word = Fx::PackTextureWord(u, v);
            std::memcpy(vertices + 28 + 4 * s, &word, 4);
        }
        vertices += kStride;
    };
    for (uint32_t r = 0; r < kRings; ++r) {
        bench::PlainIndices(indices, first, 3, 1, kRingSegments + 1);
        indices += 12 * kRingSegments;
        first = static_cast<uint16_t>(first + 3 * (kRingSegments + 1));
        const float step = 1.0f / static_cast<float>(kRingSegments);
        float v = -0.5f;
        for (uint32_t j = 0; j <= kRingSegments; ++j, v += step) {
            const float c = table64[2 * j], s = table64[2 * j + 1];
            for (int k = 0; k < 3; ++k) {
                const float radius = kRadius + kHalfWidth * static_cast<float>(1 - k);
                const float at[3] = {radius * s, radius * c, 0.0f};
                put(at, 0.5f * static_cast<float>(1 - k) + 0.5f, v + 0.5f, 2);
            }
        }
        if (first > 60000)
            first = 0;
    }
    for (uint32_t q = 0; q < kCircles; ++q) {
        for (uint32_t k = 0; k < kCircleSegments; ++k, indices += 3) {
            indices[0] = first;
            indices[1] = static_cast<uint16_t>(first + 1 + k);
            indices[2] = static_cast<uint16_t>(first + 2 + k);
        }
        indices[-1] = static_cast<uint16_t>(first + 1);
        first = static_cast<uint16_t>(first + kCircleSegments + 1);
        const float centre[3] = {};
        put(centre, 0.5f, 0.5f, 1);
        for (uint32_t k = 0; k < kCircleSegments; ++k) {
            const float c = table32[2 * k], s = table32[2 * k + 1];
            const float at[3] = {-s, c, 0.0f};
            put(at, 0.5f - 0.5f * s, 0.5f - 0.5f * c, 1);
        }
        if (first > 60000)
            first = 0;
    }
    static constexpr float kCorners[4][2] = {
        {-0.5f, 0.5f}, {0.5f, 0.5f}, {-0.5f, -0.5f}, {0.5f, -0.5f}};
    for (uint32_t q = 0; q < kQuads; ++q) {
        Fx::WriteQuadIndices(indices, first);
        indices += 6;
        first = static_cast<uint16_t>(first + 4);
        for (const auto& corner : kCorners) {
            const float at[3] = {corner[0], corner[1], 0.0f};
            put(at, corner[0] + 0.5f, 0.5f - corner[1], 1);
        }
        if (first > 60000)
            first = 0;
    }
}

void BM_RingCircleQuadFrame(benchmark::State& state) {
    testsupport::SilentDevice device;
    testsupport::RenderRig rig(device, 900, 1u << 18);
    std::vector<uint8_t> frameMemory(8u << 20);
    rig.parameter.CacheBufferMemory = frameMemory.data();
    rig.parameter.CacheBufferMemorySize = static_cast<uint32_t>(frameMemory.size());
    rig.parameter.VertexBufferTotalSize = 8u << 20;
    rig.parameter.IndexBufferTotalSize = 2u << 20;
    const Fx::PackageResource* package = nullptr;
    if (!rig.Start() || !(package = rig.Load(testsupport::Write(Effect())))) {
        state.SkipWithError("the runtime did not start");
        return;
    }
    Fx::ParticleInstance* owner = rig.Owner();
    std::vector<Fx::DrawUnit*> units;
    testsupport::RenderRig::Instance* instance = nullptr;
    const uint32_t counts[3] = {kRings, kCircles, kQuads};
    uint32_t k = 0;
    for (uint32_t part = 0; part < 3; ++part)
        for (uint32_t i = 0; i < counts[part]; ++i, ++k) {
            if (k % kPerInstance == 0)
                instance = &rig.AddInstance(k / kPerInstance);
            bool stop = false;
            Fx::DrawUnit* unit = rig.AddDrawUnit(
                *instance, Fx::CreateDrawUnit(owner, package->GetUnit(part)->GetDrawPart(0), stop));
            if (!unit) {
                state.SkipWithError("the unit pool or the lists are too small");
                return;
            }
            units.push_back(unit);
        }
    const auto frame = [&] {
        Fx::Engine::GetFrameWorkMemory().Flip();
        for (Fx::DrawUnit* u : units)
            u->Update(testsupport::FrameClock());
        rig.DrawFrame();
    };
    const uint64_t drawsBefore = device.draws;
    frame();
    frame();
    if (device.draws == drawsBefore || !owner->alive) {
        state.SkipWithError("nothing was drawn");
        return;
    }
    const float* table64 = Fx::Engine::GetCirclePointTable(kRingSegments - 3);
    const float* table32 = Fx::Engine::GetCirclePointTable(kCircleSegments - 3);
    std::vector<uint8_t> plainVertices(
        size_t{kStride} *
        (kRings * 3 * (kRingSegments + 1) + kCircles * (kCircleSegments + 1) + kQuads * 4));
    std::vector<uint16_t> plainIndices(size_t{kRings} * 12 * kRingSegments +
                                       size_t{kCircles} * 3 * kCircleSegments + kQuads * 6);

    bench::RunAgainstPlain(
        state, frame,
        [&] { PlainFrame(table64, table32, plainVertices.data(), plainIndices.data()); }, k,
        "units/s");
}
BENCHMARK(BM_RingCircleQuadFrame)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
