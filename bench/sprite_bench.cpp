// One sprite layer of 16 000 sprites with unchanged state, flushed into the
// frame's command block on the null graphics backend: sprites per millisecond,
// and the vertex bytes written per second against memcpy on this machine.
#include "engine/common/Heap.h"
#include "engine/graphics/ContextBuffer.h"
#include "engine/graphics/DrawContext.h"
#include "engine/graphics/GraphicsDevice.h"
#include "engine/renderer/SpriteRenderer.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

namespace {

using namespace Mireku;

constexpr uint32_t kSprites = 16000;
constexpr size_t kVertexBytes = size_t{kSprites} * 4 * Renderer::SpriteRenderer::kVertexStride;

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// memcpy bandwidth of this machine, bytes per second, for blocks of `kBytes`
// copied over and over for a tenth of a second: 64 MiB shows the memory's
// bandwidth, a block of the flush's size that of the caches.
template <size_t kBytes> double MemcpyBandwidth() {
    std::vector<uint8_t> from(kBytes, 1), to(kBytes, 0);
    const auto start = std::chrono::steady_clock::now();
    double copied = 0;
    do {
        std::memcpy(to.data(), from.data(), kBytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
        copied += kBytes;
    } while (Seconds(start) < 0.1);
    return copied / Seconds(start);
}

class Stack {
public:
    Stack() {
        Common::Heap::LockedInitialize();
        Graphics::GraphicsDevice::SetBackend(sys::gpu::Backend::Null);
        device_ = Graphics::GraphicsDevice::CreateInstance();
        device_->Initialize(nullptr, 720, 720, {});
        device_->InitializeRenderThread();
        Graphics::ContextBuffer::CreateInstance()->Initialize(4u << 20);
        Graphics::DrawContext::ResetAll();
        Graphics::ClaimDrawContext();
    }
    ~Stack() {
        Graphics::ReleaseDrawContext();
        Graphics::ContextBuffer::GetInstance()->Finalize();
        Graphics::ContextBuffer::DestroyInstance();
        device_->FinalizeRenderThread();
        device_->Finalize();
        Graphics::GraphicsDevice::DestroyInstance();
    }
    // Starts the next frame's block.
    static void NextFrame() {
        Graphics::ContextBuffer::GetInstance()->Reset(0);
        Graphics::GetDrawContext()->Clear();
    }

private:
    Graphics::GraphicsDevice* device_;
};

void Submit(Renderer::SpriteRenderer& r) {
    for (uint32_t i = 0; i < kSprites; ++i) {
        const float x = static_cast<float>(i % 720);
        const float y = static_cast<float>((i / 720) * 30);
        r.SetRect(x, y, 24, 24);
        r.SetTexCoord0(0, 0, 24, 24);
        r.Submit();
    }
}

void BM_FlushLayer(benchmark::State& state) {
    Stack stack;
    auto* renderer = new Renderer::SpriteRenderer(16384, 32, "Bench");
    // Measured before and after the flushes, so that a change of machine load
    // shows in both.
    double memcpyRate = MemcpyBandwidth<size_t{64} << 20>();
    double cachedRate = MemcpyBandwidth<kVertexBytes>();
    double flushSeconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Stack::NextFrame();
        Submit(*renderer); // as in a frame: the records are fresh when the flush reads them
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        renderer->Flush(720, 720);
        flushSeconds += Seconds(start);
    }
    memcpyRate = (memcpyRate + MemcpyBandwidth<size_t{64} << 20>()) / 2;
    cachedRate = (cachedRate + MemcpyBandwidth<kVertexBytes>()) / 2;
    const double flushes = static_cast<double>(state.iterations());
    state.counters["sprites_per_ms"] = flushes * kSprites / (flushSeconds * 1000.0);
    const double vertexRate = flushes * static_cast<double>(kVertexBytes) / flushSeconds;
    state.counters["vertex_GBps"] = vertexRate / 1e9;
    state.counters["memcpy_GBps"] = memcpyRate / 1e9;
    state.counters["ratio_to_memcpy"] = vertexRate / memcpyRate;
    state.counters["ratio_to_cached_memcpy"] = vertexRate / cachedRate;
    renderer->Release();
}
BENCHMARK(BM_FlushLayer)->Unit(benchmark::kMicrosecond);

// Filling the layer, the game's side of the same frame.
void BM_SubmitLayer(benchmark::State& state) {
    Stack stack;
    auto* renderer = new Renderer::SpriteRenderer(16384, 32, "Bench");
    for (auto _ : state) {
        Submit(*renderer);
        state.PauseTiming();
        renderer->Flush(720, 720);
        Stack::NextFrame();
        state.ResumeTiming();
    }
    state.counters["sprites_per_ms"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kSprites / 1000.0, benchmark::Counter::kIsRate);
    renderer->Release();
}
BENCHMARK(BM_SubmitLayer)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
