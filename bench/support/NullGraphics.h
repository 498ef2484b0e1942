// The engine's graphics layer on the null backend for benchmarks that
// record draws: the heap, the device with its render thread, one command
// block of the given size and a draw context claimed by this thread; and
// the count of engine heap blocks in use, to show a frame takes none.
#pragma once

#include "engine/common/Heap.h"
#include "engine/graphics/ContextBuffer.h"
#include "engine/graphics/DrawContext.h"
#include "engine/graphics/GraphicsDevice.h"
#include "sys/gpu_null.h"
#include "sys/thread.h"

#include <cstdint>

namespace bench {

inline uint64_t HeapBlocksInUse() {
    using Mireku::Common::Heap;
    Heap::Lock().Lock();
    uint64_t n = 0;
    const Heap& heap = Heap::Global();
    for (const Heap::BlockHeader* b = heap.FirstBlock(); b; b = heap.NextBlock(b))
        n += Heap::IsFree(b) ? 0 : 1;
    Heap::Lock().Unlock();
    return n;
}

class NullGraphics {
public:
    explicit NullGraphics(uint32_t blockSize) {
        namespace G = Mireku::Graphics;
        Mireku::Common::Heap::LockedInitialize();
        G::GraphicsDevice::SetBackend(sys::gpu::Backend::Null);
        graphics_ = G::GraphicsDevice::CreateInstance();
        graphics_->Initialize(nullptr, 1280, 720, {});
        graphics_->InitializeRenderThread();
        sys::gpu::SetNullRecording(graphics_->GetGpu(), false);
        G::ContextBuffer::CreateInstance()->Initialize(blockSize);
        G::DrawContext::ResetAll();
        context = G::ClaimDrawContext();
    }
    ~NullGraphics() {
        namespace G = Mireku::Graphics;
        G::ReleaseDrawContext();
        G::ContextBuffer::GetInstance()->Finalize();
        G::ContextBuffer::DestroyInstance();
        graphics_->FinalizeRenderThread();
        graphics_->Finalize();
        G::GraphicsDevice::DestroyInstance();
    }
    NullGraphics(const NullGraphics&) = delete;
    NullGraphics& operator=(const NullGraphics&) = delete;

    // A fresh command block for what is recorded next.
    void NextBlock() {
        Mireku::Graphics::ContextBuffer::GetInstance()->Reset(0);
        context->Clear();
    }

    Mireku::Graphics::DrawContext* context = nullptr;

private:
    Mireku::Graphics::GraphicsDevice* graphics_ = nullptr;
};

} // namespace bench
