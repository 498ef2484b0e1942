#include "engine/graphics/Driver.h"

#include "engine/graphics/ContextBuffer.h"
#include "engine/graphics/ContextExecutor.h"
#include "engine/graphics/DrawContext.h"
#include "engine/graphics/GraphicsDevice.h"

namespace Mireku::Graphics {

Driver::~Driver() {
    Finalize();
    thread_.ReleaseBody();
}

bool Driver::Initialize(const uint32_t* commandBufferSize, void* window, uint32_t width,
                        uint32_t height, uint64_t affinityMask, const Common::ErrorSink& sink) {
    frameIndex_ = 0;
    DrawContext::ResetAll();

    GraphicsDevice* device = GraphicsDevice::CreateInstance();
    if (!device || !device->Initialize(window, width, height, sink))
        return false;
    ContextBuffer* buffer = ContextBuffer::CreateInstance();
    if (!buffer || !buffer->Initialize(commandBufferSize ? *commandBufferSize : 0))
        return false;
    if (!ContextExecutor::CreateInstance())
        return false;
    ClaimDrawContext();

    // The render thread makes the context and the swap chain, then waits for
    // the first frame; the outcome of that start comes back through `ready_`.
    running_.store(1);
    renderInitError_ = nullptr;
    if (!thread_.Start(Common::Delegate00(this, &Driver::RenderThreadMain), affinityMask)) {
        running_.store(0);
        if (!sink.IsEmpty())
            sink.Invoke(GraphicsDevice::kDeviceFailed);
        return false;
    }
    ready_.Wait();
    if (renderInitError_) {
        if (!sink.IsEmpty())
            sink.Invoke(renderInitError_);
        thread_.Join();
        running_.store(0);
        return false;
    }
    return true;
}

void Driver::RenderThreadMain() {
    GraphicsDevice* device = GraphicsDevice::GetInstance();
    renderInitError_ = device->InitializeRenderThread();
    if (renderInitError_) {
        device->FinalizeRenderThread();
        ready_.Set();
        return;
    }
    ready_.Set();
    ContextExecutor* executor = ContextExecutor::GetInstance();
    start_.Wait();
    while (running_.load()) {
        // Resources created or released by other threads since the last frame.
        device->GetGpu()->ProcessPending();
        executor->Execute();
        presentCount_.fetch_add(1);
        done_.Set();
        start_.Wait();
    }
    device->FinalizeRenderThread();
}

void Driver::Kick() {
    done_.Reset();
    start_.Set();
}

void Driver::WaitDone() {
    done_.Wait();
}

void Driver::BeginFrame() {
    const uint32_t claimed = DrawContext::GetClaimCount();
    for (uint32_t i = 0; i < claimed; ++i)
        DrawContext::At(i).Clear();
    Kick();
}

void Driver::EndFrame() {
    WaitDone();
    uint32_t count = 0;
    const uint32_t claimed = DrawContext::GetClaimCount();
    for (uint32_t i = 0; i < claimed; ++i)
        count += DrawContext::At(i).GetSequence();
    ContextBuffer* buffer = ContextBuffer::GetInstance();
    ContextExecutor* executor = ContextExecutor::GetInstance();
    executor->SetCommands(buffer->GetCurrentBlock(), count);
    frameIndex_ = 1 - frameIndex_;
    // The render thread uploads what the main thread wrote into the other half.
    executor->SetUploadHalf(1 - frameIndex_);
    commandCount_ = count;
    buffer->Reset(frameIndex_);
}

void Driver::Finalize() {
    if (thread_.IsStarted()) {
        running_.store(0);
        done_.Reset();
        start_.Set();
        thread_.Join();
    }
    if (ContextExecutor::GetInstance())
        ContextExecutor::DestroyInstance();
    if (ContextBuffer* buffer = ContextBuffer::GetInstance()) {
        buffer->Finalize();
        ContextBuffer::DestroyInstance();
    }
    if (GraphicsDevice* device = GraphicsDevice::GetInstance()) {
        device->Finalize();
        GraphicsDevice::DestroyInstance();
    }
    ReleaseDrawContext();
}

uint32_t GetFrameIndex() {
    Driver* d = Driver::GetInstance();
    return d ? d->GetFrameIndex() : 0;
}

} // namespace Mireku::Graphics
