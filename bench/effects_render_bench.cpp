// The effects renderer's layer draw. LayerDraw: ResetDrawState and one
// DrawLayer of 1,000 instances with four quad pattern units each (4 vertices
// of 36 bytes and 6 indices apiece, each unit in a block of the unit pool,
// which the rig lays on large pages) in eight states, on a device that does
// nothing and whose locks return memory allocated at start-up. With the
// argument 1 the instances cycle through the states, so each instance's
// units merge into one batch; with 0 the units do, so every unit is a batch
// of its own. Each iteration also runs a plain loop that writes the same
// vertex and index bytes and makes the same device calls, batch for batch;
// "plain ratio" is the plain loop's time over the layer draw's, the
// renderer's speed as a share of the loop's. The goal is at least 0.5, with
// no allocation per frame.
#include "bench/support/QuadPatternUnit.h"
#include "support/effects/RenderRig.h"
#include "support/effects/SilentDevice.h"

#include "bench/AllocationCount.h"
#include "bench/support/PlainLayerCalls.h"
#include "effects/render/Renderer.h"
#include "effects/render/RendererWorkData.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

using testsupport::kIndexedBatchState;

constexpr uint32_t kInstances = 1000;
constexpr uint32_t kUnits = 4;
constexpr uint32_t kVertices = 4;
constexpr uint32_t kIndices = 6;
constexpr uint32_t kStride = 36;
constexpr uint32_t kStates = 8;

// The state of unit k of instance i: by unit (every unit a batch) or by
// instance (one batch per instance).
uint32_t StateOf(bool byInstance, uint32_t i, uint32_t k) {
    const uint32_t n = byInstance ? i : i * kUnits + k;
    return kIndexedBatchState | ((n % kStates) << 4);
}

// What the renderer does, without its bookkeeping: the pattern written
// straight into one buffer, and the device calls of the layer, its draw
// records and its batches.
struct PlainLayer {
    std::vector<uint8_t> vertices = std::vector<uint8_t>(kInstances * kUnits * kVertices * kStride);
    std::vector<uint16_t> indices = std::vector<uint16_t>(kInstances * kUnits * kIndices);
    float matrix[16] = {};
    float color[4] = {1, 1, 1, 1};
    float screen[4] = {};
    float scene[9] = {};

    void Draw(FulgorCore::IDevice& d, FulgorCore::IVertexBuffer* vb, FulgorCore::IIndexBuffer* ib,
              bool byInstance) {
        d.ResetRenderState();
        uint8_t* v = vertices.data();
        uint16_t* i = indices.data();
        for (uint32_t n = 0; n < kInstances * kUnits; ++n) {
            const uint8_t tag = static_cast<uint8_t>(n);
            for (uint32_t k = 0; k < kIndices; ++k)
                *i++ = static_cast<uint16_t>(k % kVertices);
            for (uint32_t k = 0; k < kVertices; ++k, v += kStride) {
                std::memset(v, tag, kStride);
                const uint32_t marker = testsupport::PatternMarker(tag, k);
                std::memcpy(v, &marker, 4);
            }
        }
        benchmark::ClobberMemory();
        bench::BeginPlainLayer(d, scene, matrix);
        const uint32_t batches = byInstance ? 1 : kUnits;
        const uint32_t units = kUnits / batches;
        uint32_t first = 0;
        for (uint32_t n = 0; n < kInstances; ++n) {
            bench::PlainRecord(d, matrix, color, screen);
            for (uint32_t k = 0; k < batches; ++k, first += units) {
                const uint32_t word = StateOf(byInstance, n, k);
                d.OnDrawPhase(2);
                d.SetShader(nullptr);
                d.SetVertexBuffer(0, vb, first * kVertices * kStride, kStride);
                d.SetIndexBuffer(ib);
                d.SetBlendMode((word >> 4) & 7u, false);
                d.SetDepthState(word & 1u, (word >> 1) & 1u, 0);
                d.SetCullMode((word >> 2) & 3u);
                d.DrawIndexed(1, first * kIndices, units * kIndices, units * kVertices);
            }
        }
        bench::EndPlainLayer(d);
    }
};

void BM_LayerDraw(benchmark::State& state) {
    const bool byInstance = state.range(0) != 0;
    testsupport::SilentDevice device;
    testsupport::RenderRig rig(device, kInstances + 24, 1u << 19);
    if (!rig.Start()) {
        state.SkipWithError("the runtime did not start");
        return;
    }
    testsupport::RenderRig::Engine()->layerDepthSort[0] = 0;
    uint32_t unit = 0;
    for (uint32_t i = 0; i < kInstances; ++i) {
        testsupport::RenderRig::Instance& instance = rig.AddInstance(i);
        for (uint32_t k = 0; k < kUnits; ++k, ++unit) {
            auto* u = rig.AddDrawUnit(
                instance, FulgorCore::DrawUnit::Create<bench::QuadPatternUnit>(
                              rig.Owner(), rig.PlainData(), static_cast<uint8_t>(unit)));
            if (!u) {
                state.SkipWithError("the unit pool is too small");
                return;
            }
            u->stateWord = StateOf(byInstance, i, k);
        }
    }
    PlainLayer plain;
    // The renderer reaches the device through its interface: so does the
    // plain loop, rather than through calls the compiler bound to this
    // device's type.
    FulgorCore::IDevice* plainDevice = &device;
    benchmark::DoNotOptimize(plainDevice);
    FulgorCore::RendererWorkData* work = FulgorCore::Renderer::GetWorkData();
    FulgorCore::IVertexBuffer* vb = work->vertexPool.entries[0].buffer;
    FulgorCore::IIndexBuffer* ib = work->indexPool.entries[0].buffer;
    rig.DrawFrame(); // warm-up
    const uint64_t expected = device.draws;
    uint64_t allocations = 0;
    double rendererSeconds = 0.0;
    double plainSeconds = 0.0;
    for (auto _ : state) {
        const uint64_t before = bench::AllocationCount();
        const double start = bench::ThreadSeconds();
        rig.DrawFrame();
        const double drawn = bench::ThreadSeconds();
        allocations += bench::AllocationCount() - before;
        plain.Draw(*plainDevice, vb, ib, byInstance);
        const double end = bench::ThreadSeconds();
        rendererSeconds += drawn - start;
        plainSeconds += end - drawn;
        state.SetIterationTime(drawn - start);
    }
    // A batch that meets the end of a pooled buffer goes on as a second one.
    if (expected < kInstances * (byInstance ? 1 : kUnits))
        state.SkipWithError("not every batch was drawn");
    state.counters["units/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kInstances * kUnits, benchmark::Counter::kIsRate);
    state.counters["plain ratio"] = rendererSeconds > 0.0 ? plainSeconds / rendererSeconds : 0.0;
    state.counters["allocations"] = static_cast<double>(allocations);
}
BENCHMARK(BM_LayerDraw)->Arg(1)->Arg(0)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
