// One frame of 100 000 recorded draws: record into the command block, sort
// the headers by key and execute them through the state cache on the null
// device. The floor is a plain std::sort of the same keys plus a memcpy of
// the same payload bytes.
#include "engine/common/Heap.h"
#include "engine/graphics/ConstantBuffer.h"
#include "engine/graphics/ContextBuffer.h"
#include "engine/graphics/ContextExecutor.h"
#include "engine/graphics/DrawContext.h"
#include "engine/graphics/GraphicsDevice.h"
#include "engine/graphics/SamplerState.h"
#include "engine/graphics/ShaderBase.h"
#include "engine/graphics/Texture.h"
#include "engine/graphics/VertexBuffer.h"
#include "engine/graphics/VertexLayout.h"
#include "sys/gpu_null.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

namespace {

using namespace Mireku::Graphics;
namespace gpu = sys::gpu;

constexpr uint32_t kDraws = 100000;
constexpr uint32_t kBlockSize = 48u << 20;

std::vector<uint32_t> Priorities() {
    std::mt19937 rng(11);
    std::vector<uint32_t> p(kDraws);
    for (uint32_t& v : p)
        v = rng() % 23; // a layer's draw priority
    return p;
}

struct Rig {
    Rig() {
        GraphicsDevice::SetBackend(gpu::Backend::Null);
        device = GraphicsDevice::CreateInstance();
        device->Initialize(nullptr, 1280, 720, Mireku::Common::ErrorSink());
        device->InitializeRenderThread();
        g = device->GetGpu();
        gpu::SetNullRecording(g, false);
        buffer = ContextBuffer::CreateInstance();
        buffer->Initialize(kBlockSize);
        executor = ContextExecutor::CreateInstance();
        DrawContext::ResetAll();
        context = ClaimDrawContext();

        cbId = device->GetConstantBufferId("CB_VS_0");
        texId = device->GetTextureId("Texture0");
        smpId = device->GetSamplerId("Sampler0");
        vs = new VertexShader;
        vs->GetConstantBuffers().push_back({cbId, 0});
        ps = new PixelShader;
        ps->GetTextures().push_back({texId, 0});
        ps->GetSamplers().push_back({smpId, 0});
        cb = new ConstantBuffer;
        cb->SetBuffer(
            g->CreateBuffer({64, gpu::Usage::Dynamic, gpu::kBindConstantBuffer, gpu::kCpuWrite, 0},
                            nullptr),
            BaseBuffer::kUsageDynamic, 64);
        for (Texture*& t : textures) {
            t = new Texture;
            gpu::Texture* gt = g->CreateTexture({4, 4, 1, 1, gpu::Format::R8G8B8A8_UNORM}, nullptr);
            t->Set(gt, g->CreateShaderResourceView(gt), 4, 4, 0, 1);
        }
        sampler = new SamplerState(g->CreateSamplerState({}));
        layout = new VertexLayout;
        layout->Set(nullptr, 1);
        vb = new VertexBuffer;
        vb->SetBuffer(
            g->CreateBuffer({4096, gpu::Usage::Dynamic, gpu::kBindVertexBuffer, gpu::kCpuWrite, 0},
                            nullptr),
            BaseBuffer::kUsageDynamic, 4096);
        g->ProcessPending();
    }

    // One frame's recording, as a sprite layer would do it.
    uint32_t Record(const std::vector<uint32_t>& priorities) {
        context->Clear();
        context->SetVertexShader(vs);
        context->SetPixelShader(ps);
        context->SetSampler(smpId, sampler);
        context->SetVertexLayout(layout);
        context->SetVertexStream(0, vb, 24, 0);
        context->SetTopology(3);
        for (uint32_t i = 0; i < kDraws; ++i) {
            if ((i & 63) == 0) {
                float* data = static_cast<float*>(cb->AllocData(64));
                if (data)
                    data[0] = static_cast<float>(i);
                context->SetConstantBuffer(cbId, cb);
            }
            context->SetTexture(texId, textures[i & 7]);
            context->SetSortPriority(priorities[i]);
            context->Draw(6);
        }
        return context->GetSequence();
    }

    GraphicsDevice* device;
    gpu::Device* g;
    ContextBuffer* buffer;
    ContextExecutor* executor;
    DrawContext* context;
    uint32_t cbId, texId, smpId;
    VertexShader* vs;
    PixelShader* ps;
    ConstantBuffer* cb;
    Texture* textures[8];
    SamplerState* sampler;
    VertexLayout* layout;
    VertexBuffer* vb;
};

Rig& TheRig() {
    static Rig rig;
    return rig;
}

void BM_RecordSortExecute(benchmark::State& state) {
    Rig& rig = TheRig();
    const std::vector<uint32_t> priorities = Priorities();
    uint32_t frame = 0;
    for (auto _ : state) {
        rig.buffer->Reset(frame & 1);
        const uint32_t count = rig.Record(priorities);
        rig.executor->SetCommands(rig.buffer->GetCurrentBlock(), count);
        rig.executor->ExecuteCommands();
        benchmark::DoNotOptimize(gpu::NullCallCount(rig.g));
        ++frame;
    }
    rig.buffer->Reset(frame & 1);
    state.counters["payload_bytes"] = static_cast<double>(rig.buffer->GetLastFrameBytes());
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kDraws);
}
BENCHMARK(BM_RecordSortExecute)->Unit(benchmark::kMillisecond);

// The floor: the same 16-byte headers with the same keys sorted by
// std::sort, plus a memcpy of the bytes a frame's commands occupy.
void BM_SortAndCopyFloor(benchmark::State& state) {
    Rig& rig = TheRig();
    const std::vector<uint32_t> priorities = Priorities();
    rig.buffer->Reset(0);
    rig.Record(priorities);
    rig.buffer->Reset(1);
    const uint32_t payloadBytes = rig.buffer->GetLastFrameBytes() - kDraws * 16;
    std::vector<CommandHeader> keys(kDraws);
    for (uint32_t i = 0; i < kDraws; ++i)
        keys[i] = {i, priorities[i], 0, kCommandDraw};
    std::vector<CommandHeader> work(kDraws);
    std::vector<uint8_t> src(payloadBytes, 1), dst(payloadBytes);
    for (auto _ : state) {
        std::memcpy(work.data(), keys.data(), kDraws * sizeof(CommandHeader));
        std::memcpy(dst.data(), src.data(), payloadBytes);
        std::sort(work.begin(), work.end(),
                  [](const CommandHeader& a, const CommandHeader& b) { return a.Key() < b.Key(); });
        benchmark::DoNotOptimize(work.data());
        benchmark::DoNotOptimize(dst.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kDraws);
}
BENCHMARK(BM_SortAndCopyFloor)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    Mireku::Common::Heap::LockedInitialize();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
