// A graphics stack on the test's own thread: the device (null or GL), the
// command blocks, the executor and draw context 0. The test records through
// the engine's normal calls, then executes the block here instead of on a
// render thread, so it can read the results back at once.
#pragma once

#include "engine/graphics/CommandHeader.h"
#include "engine/graphics/ContextBuffer.h"
#include "engine/graphics/ContextExecutor.h"
#include "engine/graphics/DrawContext.h"
#include "engine/graphics/DrawPayload.h"
#include "engine/graphics/GraphicsDevice.h"
#include "support/GlResidency.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <vector>

namespace testing_graphics {

class GraphicsStack {
public:
    static constexpr uint32_t kBlockSize = 1u << 20;

    // False when the backend cannot start here (no GL context at all). A
    // back buffer of width by height, in a window of that size unless
    // `windowSize` says otherwise (a back buffer that does not match the
    // window is a texture of its own, scaled at present).
    bool Start(sys::gpu::Backend backend, int width, int height, int windowSize = 0) {
        using namespace Mireku::Graphics;
        width_ = width;
        height_ = height;
        if (backend == sys::gpu::Backend::OpenGL) {
            if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
                return false;
            sdl_ = true;
            window_ = SDL_CreateWindow("test", 0, 0, windowSize ? windowSize : width,
                                       windowSize ? windowSize : height,
                                       SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
            if (!window_)
                return false;
        }
        GraphicsDevice::SetBackend(backend);
        device_ = GraphicsDevice::CreateInstance();
        if (!device_ || !device_->Initialize(window_, static_cast<uint32_t>(width),
                                             static_cast<uint32_t>(height), {}))
            return false;
        if (device_->InitializeRenderThread() != nullptr)
            return false;
        if (backend == sys::gpu::Backend::OpenGL)
            testing_support::KeepGlDriversResident();
        renderStarted_ = true;
        ContextBuffer::CreateInstance()->Initialize(kBlockSize);
        ContextExecutor::CreateInstance();
        // Context 0 starts without the bindings an earlier test left in it.
        DrawContext::ResetAll();
        ClaimDrawContext()->Clear();
        return true;
    }

    void Stop() {
        using namespace Mireku::Graphics;
        ReleaseDrawContext();
        if (ContextExecutor::GetInstance())
            ContextExecutor::DestroyInstance();
        if (ContextBuffer* b = ContextBuffer::GetInstance()) {
            b->Finalize();
            ContextBuffer::DestroyInstance();
        }
        if (device_) {
            if (renderStarted_)
                device_->FinalizeRenderThread();
            device_->Finalize();
            GraphicsDevice::DestroyInstance();
            device_ = nullptr;
        }
        GraphicsDevice::SetBackend(sys::gpu::Backend::OpenGL);
        if (window_)
            SDL_DestroyWindow(window_);
        window_ = nullptr;
        if (sdl_)
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
        sdl_ = false;
    }

    // Commands recorded so far in the current block, in recording order.
    std::vector<Mireku::Graphics::CommandHeader*> Commands() const {
        using namespace Mireku::Graphics;
        std::vector<CommandHeader*> out;
        ContextBuffer* b = ContextBuffer::GetInstance();
        const uint32_t n = GetDrawContext()->GetSequence();
        for (uint32_t i = 0; i < n; ++i)
            out.push_back(reinterpret_cast<CommandHeader*>(b->GetCurrentBlock()) + i);
        return out;
    }
    std::vector<const Mireku::Graphics::DrawPayload*> Draws() const {
        using namespace Mireku::Graphics;
        std::vector<const DrawPayload*> out;
        for (CommandHeader* h : Commands()) {
            if (h->type == kCommandDrawIndexed)
                out.push_back(reinterpret_cast<const DrawPayload*>(
                    ContextBuffer::GetInstance()->GetCurrentBlock() + h->payload));
        }
        return out;
    }

    // Makes the queued device objects, clears the back buffer to `clear`,
    // executes the recorded commands (sorted) without presenting, and starts
    // a new block.
    void Execute(const float clear[4]) {
        using namespace Mireku::Graphics;
        device_->GetGpu()->ProcessPending();
        device_->ClearBackBuffer(clear);
        ContextExecutor* e = ContextExecutor::GetInstance();
        ContextBuffer* b = ContextBuffer::GetInstance();
        e->SetCommands(b->GetCurrentBlock(), GetDrawContext()->GetSequence());
        e->SetUploadHalf(0); // no driver: the main thread wrote half 0
        e->ExecuteCommands();
        b->Reset(0);
        GetDrawContext()->Clear();
    }

    // RGBA8 of the back buffer, row 0 at the top.
    std::vector<uint8_t> ReadBackBuffer() {
        std::vector<uint8_t> rgba(static_cast<size_t>(width_ * height_) * 4);
        sys::gpu::Rect r{0, 0, width_, height_};
        if (!device_->GetGpu()->ReadPixels(device_->GetGpu()->GetBackBuffer(), r, rgba.data()))
            rgba.clear();
        return rgba;
    }

    Mireku::Graphics::GraphicsDevice* Device() const { return device_; }

private:
    int width_ = 0, height_ = 0;
    bool sdl_ = false;
    bool renderStarted_ = false;
    SDL_Window* window_ = nullptr;
    Mireku::Graphics::GraphicsDevice* device_ = nullptr;
};

} // namespace testing_graphics
