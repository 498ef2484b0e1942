#include "engine/graphics/Driver.h"
#include "engine/common/Delegate.h"
#include "engine/graphics/ContextBuffer.h"
#include "engine/graphics/DrawContext.h"
#include "engine/graphics/GraphicsDevice.h"
#include "sys/gpu/objects.h"
#include "sys/gpu_null.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace Mireku::Graphics;
using sys::gpu::NullOp;

std::vector<std::string> g_errors;
void CollectError(const char* text) {
    g_errors.push_back(text);
}

class DriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_errors.clear();
        GraphicsDevice::SetBackend(sys::gpu::Backend::Null);
        driver = Driver::CreateInstance();
    }
    void TearDown() override {
        if (driver) {
            driver->Finalize();
            Driver::DestroyInstance();
        }
        GraphicsDevice::SetBackend(sys::gpu::Backend::OpenGL);
    }
    bool Start() {
        return driver->Initialize(&size, nullptr, 1280, 720, 0xFFFFFFFF,
                                  Mireku::Common::ErrorSink(&CollectError));
    }
    std::vector<uint32_t> DrawCounts() {
        std::vector<uint32_t> r;
        for (const auto& c : *sys::gpu::NullCalls(GraphicsDevice::GetInstance()->GetGpu()))
            if (c.op == NullOp::Draw)
                r.push_back(c.count);
        return r;
    }
    size_t Presents() {
        size_t n = 0;
        for (const auto& c : *sys::gpu::NullCalls(GraphicsDevice::GetInstance()->GetGpu()))
            n += c.op == NullOp::Present;
        return n;
    }

    uint32_t size = 64 * 1024;
    Driver* driver = nullptr;
};

TEST_F(DriverTest, FrameIsExecutedWhileTheNextOneIsRecorded) {
    ASSERT_TRUE(Start());
    ASSERT_EQ(GetDrawContext(), &DrawContext::At(0));
    // Frame 1: the render thread presents the empty frame 0 meanwhile.
    driver->BeginFrame();
    Draw(11);
    driver->EndFrame();
    EXPECT_EQ(driver->GetCommandCount(), 1u);
    EXPECT_EQ(driver->GetFrameIndex(), 1u);
    EXPECT_EQ(ContextBuffer::GetInstance()->GetCurrentIndex(), 1u);
    EXPECT_TRUE(DrawCounts().empty());
    EXPECT_EQ(Presents(), 1u);
    // Frame 2 records into the other block while frame 1 executes.
    driver->BeginFrame();
    Draw(21);
    Draw(22);
    driver->EndFrame();
    EXPECT_EQ(DrawCounts(), std::vector<uint32_t>{11});
    EXPECT_EQ(driver->GetCommandCount(), 2u);
    EXPECT_EQ(driver->GetFrameIndex(), 0u);
    // Frame 3 records nothing; frame 2's draws run, and the empty frame after
    // it still presents.
    driver->BeginFrame();
    driver->EndFrame();
    EXPECT_EQ(DrawCounts(), (std::vector<uint32_t>{11, 21, 22}));
    driver->BeginFrame();
    driver->EndFrame();
    EXPECT_EQ(Presents(), 4u);
    EXPECT_EQ(driver->GetPresentCount(), 4u);
}

TEST_F(DriverTest, BeginFrameClearsTheClaimedContexts) {
    ASSERT_TRUE(Start());
    SetTopology(3);
    SetSortPriority(7);
    driver->BeginFrame();
    EXPECT_EQ(GetDrawContext()->GetTopology(), 0u);
    EXPECT_EQ(GetDrawContext()->GetKeyHigh(), 0u);
    driver->EndFrame();
}

TEST_F(DriverTest, FinalizeWhileTheRenderThreadWaitsEndsItAtOnce) {
    ASSERT_TRUE(Start());
    driver->BeginFrame();
    driver->EndFrame();
    driver->Finalize();
    EXPECT_EQ(GraphicsDevice::GetInstance(), nullptr);
    EXPECT_EQ(ContextBuffer::GetInstance(), nullptr);
}

TEST_F(DriverTest, ResourcesFromTheMainThreadAreMadeByTheRenderThread) {
    ASSERT_TRUE(Start());
    sys::gpu::Device* gpu = GraphicsDevice::GetInstance()->GetGpu();
    driver->BeginFrame();
    sys::gpu::Buffer* b = gpu->CreateBuffer(
        {16, sys::gpu::Usage::Default, sys::gpu::kBindVertexBuffer, 0, 0}, nullptr);
    gpu->Release(sys::gpu::AsObject(b));
    driver->EndFrame();
    driver->BeginFrame();
    driver->EndFrame();
    std::vector<NullOp> life;
    for (const auto& c : *sys::gpu::NullCalls(gpu))
        if (c.objects[0] == b && (c.op == NullOp::CreateObject || c.op == NullOp::DestroyObject))
            life.push_back(c.op);
    EXPECT_EQ(life, (std::vector<NullOp>{NullOp::CreateObject, NullOp::DestroyObject}));
}

TEST_F(DriverTest, FailedContextReportsTheDeviceMessage) {
    // No window: the OpenGL backend cannot make a context.
    GraphicsDevice::SetBackend(sys::gpu::Backend::OpenGL);
    EXPECT_FALSE(Start());
    ASSERT_EQ(g_errors.size(), 1u);
    EXPECT_EQ(g_errors[0], "Direct3Dデバイスの生成に失敗しました");
}

TEST(GraphicsDeviceStart, FailedSwapChainReportsItsMessage) {
    GraphicsDevice::SetBackend(sys::gpu::Backend::Null);
    GraphicsDevice device;
    ASSERT_TRUE(device.Initialize(nullptr, 640, 480, Mireku::Common::ErrorSink()));
    sys::gpu::SetNullFailures(device.GetGpu(), false, true);
    const char* error = device.InitializeRenderThread();
    ASSERT_NE(error, nullptr);
    EXPECT_STREQ(error, "スワップチェインの生成に失敗しました");
    device.FinalizeRenderThread();
    GraphicsDevice::SetBackend(sys::gpu::Backend::OpenGL);
}

// The frame is drawn through a render-target view of the swap chain's back
// buffer.
TEST(GraphicsDeviceStart, TheBackBufferIsDrawnThroughARenderTargetViewOfIt) {
    GraphicsDevice::SetBackend(sys::gpu::Backend::Null);
    GraphicsDevice device;
    ASSERT_TRUE(device.Initialize(nullptr, 640, 480, Mireku::Common::ErrorSink()));
    ASSERT_EQ(device.InitializeRenderThread(), nullptr);
    const sys::gpu::View* view = device.GetBackBufferView();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->viewKind, sys::gpu::ViewKind::RenderTarget);
    ASSERT_NE(device.GetGpu()->GetBackBuffer(), nullptr);
    EXPECT_EQ(sys::gpu::Device::GetTexture(view), device.GetGpu()->GetBackBuffer());
    device.FinalizeRenderThread();
    GraphicsDevice::SetBackend(sys::gpu::Backend::OpenGL);
}

TEST(GraphicsDeviceStart, FullScreenSwitchesAndFinalizeLeavesIt) {
    GraphicsDevice::SetBackend(sys::gpu::Backend::Null);
    GraphicsDevice device;
    ASSERT_TRUE(device.Initialize(nullptr, 640, 480, Mireku::Common::ErrorSink()));
    device.SetFullscreen(true);
    EXPECT_TRUE(device.IsFullscreen());
    EXPECT_TRUE(sys::gpu::NullDisplayIsFullscreen());
    device.SetFullscreen(false);
    EXPECT_FALSE(device.IsFullscreen());
    EXPECT_FALSE(sys::gpu::NullDisplayIsFullscreen());
    device.SetFullscreen(true);
    device.Finalize();
    EXPECT_FALSE(sys::gpu::NullDisplayIsFullscreen()) << "the display is left windowed";
    GraphicsDevice::SetBackend(sys::gpu::Backend::OpenGL);
}

TEST_F(DriverTest, ZeroSizedCommandBlocksFail) {
    size = 0;
    EXPECT_FALSE(Start());
}

} // namespace
