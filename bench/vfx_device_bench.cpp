// The effects device's indexed draw on the null graphics backend: three
// textures and both constant snapshots per draw, recorded into the frame's
// command block. The floor is a plain function that copies the same two
// shadows into constant memory and records one indexed draw with the same
// bindings set straight on the draw context. Heap use is counted: C++
// allocations by the replaced operator new, the engine heap by its blocks in
// use before and after.
#include "bench/AllocationCount.h"
#include "bench/support/NullGraphics.h"
#include "effects/Core/Interface/IShader.h"
#include "effects/Core/Interface/ITexture.h"
#include "engine/graphics/ConstantBuffer.h"
#include "engine/graphics/DrawContext.h"
#include "engine/graphics/ResourceCreation.h"
#include "game/vfx/IndexBuffer.h"
#include "game/vfx/Shader.h"
#include "game/vfx/Texture.h"
#include "game/vfx/VertexBuffer.h"
#include "game/vfx/VfxDevice.h"
#include "sys/thread.h"
#include "tests/support/vfx/SampleShaders.h"
#include "tools/dds/DdsWriter.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

namespace {

namespace G = Mireku::Graphics;

constexpr uint32_t kDrawsPerBatch = 1000;
constexpr uint32_t kBlockSize = 16u << 20; // a batch of draws fits one block

// The billboard pair of the tests, its pixel program sampling three layers.
void WriteBenchShader(ShaderSource::Program program, const FulgorCore::ShaderKey& key,
                      FulgorCore::ShaderSourceBuffer& out) {
    std::string text = testsupport::SampleShaders::Text(program, key);
    if (program == ShaderSource::kPixel) {
        text = std::string(testsupport::sample_hlsl::kFirstLine) +
               testsupport::sample_hlsl::kPixelDeclarations +
               R"(struct PixelIn{
float4 Color:TEXCOORD0;
float2 TexCoord:TEXCOORD1;
float3 WorldPosition:TEXCOORD2;
float4 PixelPosition:SV_Position;
};
float4 main(PixelIn Input):SV_Target{
float4 Color=Input.Color*SampleColor1(Input.TexCoord);
Color*=g_TextureColor2.Sample(g_SamplerColor2,Input.TexCoord);
Color*=g_TextureColor3.Sample(g_SamplerColor3,Input.TexCoord);
return Color+g_PS_Parameters[0];
}
)";
    }
    std::memcpy(out.text, text.c_str(), text.size() + 1);
    out.length = static_cast<uint32_t>(text.size());
}

class Rig {
public:
    Rig() {
        ShaderSource::Install(WriteBenchShader);
        device = new VfxDevice();
        FulgorCore::ShaderKey key;
        device->CreateShader(&key, &shader);
        const uint8_t rgba[4] = {255, 255, 255, 255};
        const auto dds = tools::WriteDds(sys::DdsFormat::R8G8B8A8, 1, 1, 1, false, rgba, 4);
        for (FulgorCore::ITexture*& t : textures)
            t = device->CreateTexture(dds.data(), static_cast<uint32_t>(dds.size()));
        vertices = device->CreateVertexBuffer(1 << 16, true, nullptr);
        indices = device->CreateIndexBuffer(1 << 14, true, nullptr);

        // The plain function's own constant buffers and the states the device
        // would pick for the same draw.
        plainVertexBuffer = G::CreateConstantBuffer(VfxDevice::kVertexRegisters * 16, 1, 0);
        plainPixelBuffer = G::CreateConstantBuffer(VfxDevice::kPixelRegisters * 16, 1, 0);
        for (uint32_t k = 0; k < 3; ++k) {
            textureIds[k] = G::GetTextureId(kTextureNames[k]);
            samplerIds[k] = G::GetSamplerId(kSamplerNames[k]);
        }
        vertexConstantId = G::GetConstantBufferId("CBUFFER_VERTEX_SHADER");
        pixelConstantId = G::GetConstantBufferId("CBUFFER_PIXEL_SHADER");
    }
    ~Rig() {
        plainVertexBuffer->Release();
        plainPixelBuffer->Release();
        for (FulgorCore::ITexture* t : textures)
            t->Release();
        vertices->Release();
        indices->Release();
        shader->Release();
        device->Release();
        ShaderSource::Install(nullptr);
    }
    // A fresh command block for the next batch.
    void NextBlock() { graphics.NextBlock(); }
    // The batch state of a billboard layer with three texture layers.
    void SetDeviceState() {
        device->ResetRenderState();
        device->SetShader(shader);
        device->SetCullMode(2);
        device->SetBlendMode(1, false);
        device->SetDepthState(0, 0, 0);
        for (uint32_t k = 0; k < 3; ++k)
            device->SetTexture(k, textures[k], 1, 1, 1, 0);
        device->SetVertexBuffer(0, vertices, 0, 48);
        device->SetIndexBuffer(indices);
    }

    static constexpr const char* kTextureNames[3] = {"g_TextureColor1", "g_TextureColor2",
                                                     "g_TextureColor3"};
    static constexpr const char* kSamplerNames[3] = {"g_SamplerColor1", "g_SamplerColor2",
                                                     "g_SamplerColor3"};

    bench::NullGraphics graphics{kBlockSize};
    G::DrawContext* context = graphics.context;
    VfxDevice* device = nullptr;
    FulgorCore::IShader* shader = nullptr;
    FulgorCore::ITexture* textures[3] = {};
    FulgorCore::IVertexBuffer* vertices = nullptr;
    FulgorCore::IIndexBuffer* indices = nullptr;
    G::ConstantBuffer* plainVertexBuffer = nullptr;
    G::ConstantBuffer* plainPixelBuffer = nullptr;
    uint32_t textureIds[3] = {};
    uint32_t samplerIds[3] = {};
    uint32_t vertexConstantId = 0;
    uint32_t pixelConstantId = 0;
};

// Runs batches of draws, each batch on a fresh block, and reports the rate
// and the heap use per draw.
template <class DrawOne> void RunBatches(benchmark::State& state, Rig& rig, DrawOne draw) {
    uint64_t allocations = 0;
    const uint64_t blocksBefore = bench::HeapBlocksInUse();
    for (auto _ : state) {
        state.PauseTiming();
        rig.NextBlock();
        const uint64_t before = bench::AllocationCount();
        state.ResumeTiming();
        for (uint32_t i = 0; i < kDrawsPerBatch; ++i)
            draw(i);
        state.PauseTiming();
        allocations += bench::AllocationCount() - before;
        benchmark::DoNotOptimize(rig.context->GetSequence());
        state.ResumeTiming();
    }
    const double draws = static_cast<double>(state.iterations()) * kDrawsPerBatch;
    state.SetItemsProcessed(static_cast<int64_t>(draws));
    state.counters["draws_recorded_last_batch"] = rig.context->GetSequence();
    state.counters["new_per_draw"] = static_cast<double>(allocations) / draws;
    state.counters["engine_heap_blocks_gained"] =
        static_cast<double>(bench::HeapBlocksInUse() - blocksBefore);
}

void BM_VfxDeviceDrawIndexed(benchmark::State& state) {
    Rig rig;
    rig.SetDeviceState();
    RunBatches(state, rig, [&](uint32_t i) { rig.device->DrawIndexed(1, (i % 64) * 6, 6, 4); });
}
BENCHMARK(BM_VfxDeviceDrawIndexed)->Unit(benchmark::kMicrosecond);

// The floor: the same draw without the device's stored settings.
void BM_PlainDrawIndexed(benchmark::State& state) {
    Rig rig;
    ShaderObject* program = static_cast<Shader*>(rig.shader)->Get();
    G::Texture* engineTextures[3];
    for (uint32_t k = 0; k < 3; ++k)
        engineTextures[k] = static_cast<Texture*>(rig.textures[k])->Get();
    G::VertexBuffer* vertices = static_cast<VertexBuffer*>(rig.vertices)->Get();
    G::IndexBuffer* indices = static_cast<IndexBuffer*>(rig.indices)->Get();
    const float* vertexShadow = rig.device->GetVertexConstants();
    const float* pixelShadow = rig.device->GetPixelConstants();
    G::BlendState* blend = rig.device->GetBlendState(1);
    G::DepthStencilState* depth = rig.device->GetDepthState(0);
    G::RasterizerState* rasterizer = rig.device->GetRasterizerState(4);
    G::SamplerState* sampler = rig.device->GetSamplerState(13);
    G::DrawContext& c = *rig.context;
    RunBatches(state, rig, [&](uint32_t i) {
        void* vs = rig.plainVertexBuffer->AllocData(VfxDevice::kVertexRegisters * 16);
        void* ps = rig.plainPixelBuffer->AllocData(VfxDevice::kPixelRegisters * 16);
        if (!vs || !ps)
            return;
        std::memcpy(vs, vertexShadow, VfxDevice::kVertexRegisters * 16);
        rig.plainVertexBuffer->EndWrite();
        std::memcpy(ps, pixelShadow, VfxDevice::kPixelRegisters * 16);
        rig.plainPixelBuffer->EndWrite();
        c.SetBlendState(blend);
        c.SetDepthStencilState(depth);
        for (uint32_t k = 0; k < 3; ++k) {
            c.SetTexture(rig.textureIds[k], engineTextures[k]);
            c.SetSampler(rig.samplerIds[k], sampler);
        }
        c.SetVertexLayout(program->GetLayout());
        c.SetVertexShader(program->GetVertexShader());
        c.SetPixelShader(program->GetPixelShader());
        c.SetVertexStream(0, vertices, 48, 0);
        c.SetConstantBuffer(rig.vertexConstantId, rig.plainVertexBuffer);
        c.SetConstantBuffer(rig.pixelConstantId, rig.plainPixelBuffer);
        c.SetIndexBuffer(indices, 0, (i % 64) * 12);
        c.SetTopology(3);
        c.SetRasterizerState(rasterizer);
        c.DrawIndexed(6, 0);
    });
}
BENCHMARK(BM_PlainDrawIndexed)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
