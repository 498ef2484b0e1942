// Draws through recorded commands on the OpenGL backend (llvmpipe under the
// offscreen video driver) and reads the back buffer back. The test thread
// plays the render thread: it owns the context and runs the executor.
#include "support/GraphicsFixture.h"

#include "engine/graphics/ConstantBuffer.h"
#include "engine/graphics/RasterizerState.h"
#include "engine/graphics/SamplerState.h"
#include "engine/graphics/ShaderBase.h"
#include "engine/graphics/Texture.h"
#include "engine/graphics/VertexBuffer.h"
#include "engine/graphics/VertexLayout.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>

namespace {

using namespace Mireku::Graphics;
namespace gpu = sys::gpu;

constexpr int kSize = 64;

const char* kVertexSource = R"(#version 450
layout(location = 0) in vec2 POSITION;
layout(location = 1) in vec4 COLOR;
layout(std140) uniform CB_VS_0 { vec4 offset; } cb;
out gl_PerVertex { vec4 gl_Position; };
layout(location = 0) out vec4 vColor;
void main() {
    gl_Position = vec4(POSITION + cb.offset.xy, 0.5, 1.0);
    vColor = COLOR;
}
)";

const char* kPixelSource = R"(#version 450
layout(location = 0) in vec4 vColor;
layout(location = 0) out vec4 outColor;
uniform sampler2D Tex0;
void main() { outColor = vColor * texture(Tex0, vec2(0.5, 0.5)); }
)";

struct Vertex {
    float x, y;
    uint8_t rgba[4];
};

class GlDraw : public ::testing::Test {
protected:
    virtual int BackBufferSize() const { return kSize; }

    void SetUp() override {
        if (!stack.Start(gpu::Backend::OpenGL, BackBufferSize(), BackBufferSize(), kSize))
            GTEST_SKIP() << "no OpenGL 4.5 core context could be created";
        device = stack.Device();
        executor = ContextExecutor::GetInstance();
        context = GetDrawContext();
        g = device->GetGpu();
        BuildPipeline();
    }
    void TearDown() override {
        for (Mireku::Resource::ManagedResource* o : owned_)
            o->Release();
        stack.Stop();
    }

    template <class T> T* Own(T* o) {
        owned_.push_back(o);
        return o;
    }

    void BuildPipeline() {
        const gpu::ShaderInput inputs[2] = {{"POSITION", 0, 0}, {"COLOR", 0, 1}};
        const gpu::ShaderBinding vsb[1] = {{gpu::BindingKind::ConstantBuffer, "CB_VS_0", 0, 0}};
        const gpu::ShaderBinding psb[1] = {{gpu::BindingKind::Texture, "Tex0", 0, 0}};
        vs = Own(new VertexShader);
        vs->SetShader(g->CreateShader({gpu::Stage::Vertex, kVertexSource, vsb, 1, inputs, 2}));
        vs->GetConstantBuffers().push_back({device->GetConstantBufferId("CB_VS_0"), 0});
        ps = Own(new PixelShader);
        ps->SetShader(g->CreateShader({gpu::Stage::Pixel, kPixelSource, psb, 1}));
        ps->GetTextures().push_back({device->GetTextureId("Tex0"), 0});
        ps->GetSamplers().push_back({device->GetSamplerId("Smp0"), 0});

        const gpu::InputElement elements[2] = {
            {"POSITION", 0, gpu::Format::R32G32_FLOAT, 0, 0, 0, 0},
            {"COLOR", 0, gpu::Format::R8G8B8A8_UNORM, 0, 8, 0, 0}};
        layout = Own(new VertexLayout);
        layout->Set(g->CreateInputLayout(elements, 2, vs->GetShader()), 1);
        ASSERT_NE(layout->GetLayout(), nullptr);

        cb = Own(new ConstantBuffer);
        cb->SetBuffer(
            g->CreateBuffer({16, gpu::Usage::Dynamic, gpu::kBindConstantBuffer, gpu::kCpuWrite, 0},
                            nullptr),
            BaseBuffer::kUsageDynamic, 16);

        vb = Own(new VertexBuffer);
        vb->SetBuffer(g->CreateBuffer({4 * sizeof(Vertex), gpu::Usage::Dynamic,
                                       gpu::kBindVertexBuffer, gpu::kCpuWrite, 0},
                                      nullptr),
                      BaseBuffer::kUsageDynamic, 4 * sizeof(Vertex));
        ASSERT_TRUE(vb->AllocateStaging(4 * sizeof(Vertex)));
        // The top-left quarter, as a strip wound clockwise on screen (top-left,
        // top-right, bottom-left, bottom-right with y up in clip space).
        const Vertex quad[4] = {{-1, 1, {255, 255, 255, 255}},
                                {0, 1, {255, 255, 255, 255}},
                                {-1, 0, {255, 255, 255, 255}},
                                {0, 0, {255, 255, 255, 255}}};
        std::memcpy(vb->GetStaging(0), quad, sizeof(quad));
        vb->Unlock(0, sizeof(quad));
        executor->SetUploadHalf(0);

        gpu::SamplerDesc sd;
        sd.filter = gpu::Filter::MinMagMipPoint;
        sampler = Own(new SamplerState(g->CreateSamplerState(sd)));
        gpu::RasterizerDesc rd;
        rd.cull = gpu::CullMode::Back;
        cullBack = Own(new RasterizerState(g->CreateRasterizerState(rd)));
        rd.cull = gpu::CullMode::Front;
        cullFront = Own(new RasterizerState(g->CreateRasterizerState(rd)));
    }

    Texture* MakeTexture(gpu::Format format, const void* texels, uint32_t w, uint32_t h) {
        gpu::TextureDesc td;
        td.width = w;
        td.height = h;
        td.format = format;
        td.usage = gpu::Usage::Immutable;
        td.bindFlags = gpu::kBindShaderResource;
        const gpu::SubresourceData data{texels, 0};
        gpu::Texture* t = g->CreateTexture(td, &data);
        Texture* tex = Own(new Texture);
        tex->Set(t, g->CreateShaderResourceView(t), static_cast<int16_t>(w),
                 static_cast<int16_t>(h), 0, td.mipLevels);
        return tex;
    }

    // Records a draw of the quad moved by (dx, dy) in clip space.
    void DrawQuad(float dx, float dy, Texture* texture, RasterizerState* rasterizer) {
        const float offset[4] = {dx, dy, 0, 0};
        std::memcpy(cb->AllocData(16), offset, 16);
        context->SetVertexShader(vs);
        context->SetPixelShader(ps);
        context->SetConstantBuffer(device->GetConstantBufferId("CB_VS_0"), cb);
        context->SetTexture(device->GetTextureId("Tex0"), texture);
        context->SetSampler(device->GetSamplerId("Smp0"), sampler);
        context->SetRasterizerState(rasterizer);
        context->SetVertexLayout(layout);
        context->SetVertexStream(0, vb, sizeof(Vertex), 0);
        context->SetTopology(4);
        context->Draw(4);
    }

    void Execute() {
        executor->SetCommands(ContextBuffer::GetInstance()->GetCurrentBlock(),
                              context->GetSequence());
        executor->ExecuteCommands();
    }

    struct Pixel {
        uint8_t r, g, b, a;
    };
    Pixel At(int x, int y) {
        Pixel p{};
        gpu::Rect r{x, y, x + 1, y + 1};
        EXPECT_TRUE(g->ReadPixels(g->GetBackBuffer(), r, &p));
        return p;
    }

    testing_graphics::GraphicsStack stack;
    GraphicsDevice* device = nullptr;
    ContextExecutor* executor = nullptr;
    DrawContext* context = nullptr;
    gpu::Device* g = nullptr;
    VertexShader* vs = nullptr;
    PixelShader* ps = nullptr;
    VertexLayout* layout = nullptr;
    ConstantBuffer* cb = nullptr;
    VertexBuffer* vb = nullptr;
    SamplerState* sampler = nullptr;
    RasterizerState* cullBack = nullptr;
    RasterizerState* cullFront = nullptr;

private:
    std::vector<Mireku::Resource::ManagedResource*> owned_;
};

TEST_F(GlDraw, RecordedDrawsLandTopLeftOriented) {
    const uint8_t orange[4] = {255, 128, 0, 255};
    Texture* tex = MakeTexture(gpu::Format::R8G8B8A8_UNORM, orange, 1, 1);
    const float blue[4] = {0, 0, 1, 1};
    context->ClearTarget(blue);
    DrawQuad(0, 0, tex, cullBack);      // top-left: drawn (clockwise is front)
    DrawQuad(1, -1, nullptr, cullBack); // bottom-right: an unbound texture reads zero
    DrawQuad(0, -1, tex, cullFront);    // bottom-left: culled
    Execute();

    Pixel p = At(16, 16);
    EXPECT_EQ(p.r, 255);
    EXPECT_NEAR(p.g, 128, 1);
    EXPECT_EQ(p.b, 0);
    // (The window's framebuffer may keep no alpha, so only colour is compared.)
    p = At(48, 48);
    EXPECT_EQ(p.r, 0);
    EXPECT_EQ(p.g, 0);
    EXPECT_EQ(p.b, 0);
    p = At(16, 48);
    EXPECT_EQ(p.b, 255) << "a front-culled clockwise quad was drawn";
    p = At(48, 16);
    EXPECT_EQ(p.b, 255);
    EXPECT_EQ(p.r, 0);

    // Present leaves the back buffer cleared to opaque black.
    device->Present();
    p = At(16, 16);
    EXPECT_EQ(p.r, 0);
    EXPECT_EQ(p.b, 0);
    EXPECT_EQ(p.a, 255);
}

TEST_F(GlDraw, BlockCompressedTexturesSample) {
    // One BC1 block: colour 0 pure red (RGB565 0xF800), every index 0.
    const uint8_t block[8] = {0x00, 0xF8, 0x00, 0x00, 0, 0, 0, 0};
    Texture* tex = MakeTexture(gpu::Format::BC1_UNORM, block, 4, 4);
    DrawQuad(0, 0, tex, cullBack);
    Execute();
    const Pixel p = At(8, 8);
    EXPECT_EQ(p.r, 255);
    EXPECT_EQ(p.g, 0);
    EXPECT_EQ(p.b, 0);
}

TEST_F(GlDraw, ScissorLimitsDrawing) {
    const uint8_t white[4] = {255, 255, 255, 255};
    Texture* tex = MakeTexture(gpu::Format::R8G8B8A8_UNORM, white, 1, 1);
    gpu::RasterizerDesc rd;
    rd.cull = gpu::CullMode::None;
    rd.scissor = true;
    RasterizerState* scissored = Own(new RasterizerState(g->CreateRasterizerState(rd)));
    context->SetScissor({0, 0, 8, 8});
    DrawQuad(0, 0, tex, scissored);
    Execute();
    EXPECT_EQ(At(4, 4).r, 255);
    EXPECT_EQ(At(20, 20).r, 0);
}

TEST_F(GlDraw, ResourcesFromAnotherThreadAreMadeBeforeTheFrame) {
    const uint8_t green[4] = {0, 255, 0, 255};
    gpu::Texture* made = nullptr;
    gpu::View* view = nullptr;
    std::thread loader([&] {
        gpu::TextureDesc td;
        td.width = td.height = 1;
        td.format = gpu::Format::R8G8B8A8_UNORM;
        td.bindFlags = gpu::kBindShaderResource;
        const gpu::SubresourceData data{green, 0};
        made = g->CreateTexture(td, &data);
        view = g->CreateShaderResourceView(made);
    });
    loader.join();
    Texture* tex = Own(new Texture);
    tex->Set(made, view, 1, 1, 0, 1);
    g->ProcessPending(); // the render thread does this before each frame
    DrawQuad(0, 0, tex, cullBack);
    Execute();
    EXPECT_EQ(At(16, 16).g, 255);
    EXPECT_EQ(At(16, 16).r, 0);
}

TEST_F(GlDraw, PresentPacesToTheRefreshRate) {
    using Clock = std::chrono::steady_clock;
    device->Present();
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < 12; ++i)
        device->Present();
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    // Twelve periods of 1/60 s, give or take the first one's phase.
    EXPECT_GE(ms, 11 * 16.0);
}

// A back buffer that does not match the window's drawable (full screen on a
// larger display) is a texture of its own, scaled into the window at present.
class GlDrawSmallBackBuffer : public GlDraw {
protected:
    int BackBufferSize() const override { return kSize / 2; }
};

TEST_F(GlDrawSmallBackBuffer, DrawsIntoItsOwnTexture) {
    const uint8_t white[4] = {255, 255, 255, 255};
    Texture* tex = MakeTexture(gpu::Format::R8G8B8A8_UNORM, white, 1, 1);
    DrawQuad(0, 0, tex, cullBack);
    Execute();
    EXPECT_EQ(At(8, 8).r, 255); // the top-left quarter of 32 by 32
    EXPECT_EQ(At(24, 24).r, 0);
    device->Present();
    EXPECT_EQ(At(8, 8).r, 0);
}

} // namespace
