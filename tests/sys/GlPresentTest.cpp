// Presenting on the GL backend without a display, where the swap waits for
// nothing and software GL is the slow side: the present must keep the GPU at
// most three frames behind, as a swap chain does, or the driver queues frame
// after frame without bound.
#include "support/GlResidency.h"

#include "sys/gpu.h"
#include "sys/gpu/gl_device.h"
#include "sys/gpu/gl_functions.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

namespace gpu = sys::gpu;
namespace gl = sys::gpu::gl;

// A swap chain's default maximum frame latency.
constexpr uint32_t kLatency = 3;

// A triangle that covers the whole target, from the vertex index alone.
const char* kFullScreenVertex = R"(#version 450
out gl_PerVertex { vec4 gl_Position; };
void main() {
    vec2 p = vec2((gl_VertexID << 1) & 2, gl_VertexID & 2);
    gl_Position = vec4(p * 2.0 - 1.0, 0.5, 1.0);
}
)";

// Enough arithmetic a pixel that a software rasteriser takes its time.
const char* kBusyPixel = R"(#version 450
layout(location = 0) out vec4 outColor;
void main() {
    vec2 p = gl_FragCoord.xy * 0.01;
    float a = 0.0;
    for (int i = 0; i < 16; ++i)
        a += sin(p.x * float(i) + a) * cos(p.y + a);
    outColor = vec4(fract(a), 0.5, 0.25, 1.0);
}
)";

class GlPresent : public ::testing::Test {
protected:
    static constexpr int kWidth = 640, kHeight = 480;

    void SetUp() override {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
            GTEST_SKIP() << "no video: " << SDL_GetError();
        video_ = true;
        window_ = SDL_CreateWindow("present", 0, 0, kWidth, kHeight,
                                   SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        ASSERT_NE(window_, nullptr) << SDL_GetError();
        device_ = gpu::CreateDevice(gpu::Backend::OpenGL, window_);
        ASSERT_NE(device_, nullptr);
        if (!device_->CreateContext())
            GTEST_SKIP() << "no OpenGL 4.5 core context could be created";
        testing_support::KeepGlDriversResident();
        gpu::SwapChainDesc chain;
        chain.width = kWidth;
        chain.height = kHeight;
        chain.window = window_;
        ASSERT_TRUE(device_->CreateSwapChain(chain));
        target_ = device_->CreateRenderTargetView(device_->GetBackBuffer());
        gpu::ShaderDesc vs;
        vs.stage = gpu::Stage::Vertex;
        vs.source = kFullScreenVertex;
        gpu::ShaderDesc ps;
        ps.stage = gpu::Stage::Pixel;
        ps.source = kBusyPixel;
        vertex_ = device_->CreateShader(vs);
        pixel_ = device_->CreateShader(ps);
        gpu::RasterizerDesc bothFaces;
        bothFaces.cull = gpu::CullMode::None;
        rasterizer_ = device_->CreateRasterizerState(bothFaces);
        ASSERT_TRUE(target_ && vertex_ && pixel_ && rasterizer_);
    }

    void TearDown() override {
        if (device_) {
            for (GLsync fence : drawn_)
                if (fence)
                    gl::DeleteSync(fence);
            device_->DestroyContext();
            gpu::DestroyDevice(device_);
        }
        if (window_)
            SDL_DestroyWindow(window_);
        if (video_)
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    // Records a frame of many full-screen draws into the back buffer.
    void DrawHeavyFrame() {
        device_->SetRenderTargets(1, &target_, nullptr);
        device_->SetViewport(gpu::Viewport{0, 0, kWidth, kHeight, 0, 1});
        device_->SetScissorRect(gpu::Rect{0, 0, kWidth, kHeight});
        device_->SetShader(gpu::Stage::Vertex, vertex_);
        device_->SetShader(gpu::Stage::Pixel, pixel_);
        device_->SetRasterizerState(rasterizer_);
        device_->SetTopology(gpu::Topology::TriangleList);
        for (int i = 0; i < 8; ++i)
            device_->Draw(3, 0);
    }

    // True when everything queued before the fence has been carried out.
    static bool Done(GLsync fence) {
        const GLenum r = gl::ClientWaitSync(fence, 0, 0);
        return r == GL_ALREADY_SIGNALED || r == GL_CONDITION_SATISFIED;
    }

    bool video_ = false;
    SDL_Window* window_ = nullptr;
    gpu::Device* device_ = nullptr;
    gpu::View* target_ = nullptr;
    gpu::Shader* vertex_ = nullptr;
    gpu::Shader* pixel_ = nullptr;
    gpu::RasterizerState* rasterizer_ = nullptr;
    // One fence a frame, placed after its draws, before its present.
    std::vector<GLsync> drawn_;
};

TEST_F(GlPresent, WithoutPacingTheGpuIsNeverMoreThanThreeFramesBehind) {
    auto* gl = static_cast<gpu::GlDevice*>(device_);
    constexpr int kFrames = 150;
    drawn_.assign(kFrames, nullptr);
    int behind = 0, lagging = 0;
    std::string firstBehind;
    for (int frame = 0; frame < kFrames; ++frame) {
        DrawHeavyFrame();
        drawn_[frame] = gl::FenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
        device_->Present(0);
        ASSERT_EQ(gl->FramesInFlight(), std::min<uint32_t>(frame + 1, kLatency))
            << "each present leaves its own frame in flight, after present " << frame;
        lagging += !Done(drawn_[frame]);
        if (frame >= static_cast<int>(kLatency) && !Done(drawn_[frame - kLatency])) {
            if (behind++ == 0)
                firstBehind = std::to_string(frame);
        }
    }
    EXPECT_EQ(behind, 0) << "presents that returned with the frame three back unfinished, "
                            "the first after present "
                         << firstBehind;
    // The frames were drawn: the pixel shader's fixed channels cover the picture.
    DrawHeavyFrame();
    uint8_t rgba[4] = {};
    ASSERT_TRUE(device_->ReadPixels(
        device_->GetBackBuffer(),
        gpu::Rect{kWidth / 2, kHeight / 2, kWidth / 2 + 1, kHeight / 2 + 1}, rgba));
    EXPECT_NEAR(rgba[1], 128, 1);
    EXPECT_NEAR(rgba[2], 64, 1);
    if (lagging == 0)
        GTEST_SKIP() << "the rasteriser kept up with every present: nothing was behind";
}

TEST_F(GlPresent, ContextEndsWithFramesStillInFlight) {
    for (int frame = 0; frame < 4; ++frame) {
        DrawHeavyFrame();
        device_->Present(0);
    }
    EXPECT_EQ(static_cast<gpu::GlDevice*>(device_)->FramesInFlight(), kLatency);
    device_->DestroyContext();
    EXPECT_EQ(static_cast<gpu::GlDevice*>(device_)->FramesInFlight(), 0u)
        << "the context takes its frames' fences with it";
}

} // namespace
