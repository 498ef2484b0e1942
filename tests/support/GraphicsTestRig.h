// A graphics layer without a render thread, on the null backend: the test
// thread owns the device and runs the executor itself.
#pragma once

#include "engine/graphics/ContextBuffer.h"
#include "engine/graphics/ContextExecutor.h"
#include "engine/graphics/DrawContext.h"
#include "engine/graphics/GraphicsDevice.h"
#include "sys/gpu_null.h"

#include <gtest/gtest.h>

#include <vector>

namespace graphics_test {

using namespace Mireku::Graphics;

class NullGraphics : public ::testing::Test {
protected:
    static constexpr uint32_t kBlockSize = 64 * 1024;

    void SetUp() override { Start(kBlockSize); }

    void Start(uint32_t blockSize) {
        GraphicsDevice::SetBackend(sys::gpu::Backend::Null);
        device = GraphicsDevice::CreateInstance();
        ASSERT_TRUE(device->Initialize(nullptr, 1280, 720, Mireku::Common::ErrorSink()));
        ASSERT_EQ(device->InitializeRenderThread(), nullptr);
        buffer = ContextBuffer::CreateInstance();
        ASSERT_TRUE(buffer->Initialize(blockSize));
        executor = ContextExecutor::CreateInstance();
        DrawContext::ResetAll();
        context = ClaimDrawContext();
        context->Clear();
        calls = sys::gpu::NullCalls(device->GetGpu());
        calls->clear();
    }

    void TearDown() override {
        ReleaseDrawContext();
        ContextExecutor::DestroyInstance();
        ContextBuffer::DestroyInstance();
        if (device) {
            device->FinalizeRenderThread();
            device->Finalize();
        }
        GraphicsDevice::DestroyInstance();
        GraphicsDevice::SetBackend(sys::gpu::Backend::OpenGL);
    }

    // Hands the current block to the executor as EndFrame does, and runs it
    // without presenting.
    void ExecuteRecorded() {
        uint32_t count = 0;
        for (uint32_t i = 0; i < DrawContext::GetClaimCount(); ++i)
            count += DrawContext::At(i).GetSequence();
        executor->SetCommands(buffer->GetCurrentBlock(), count);
        calls->clear();
        executor->ExecuteCommands();
    }

    // A dynamic device buffer of `size` bytes for the given binding, wrapped.
    template <class T> T* MakeBuffer(uint32_t bind, uint32_t size) {
        T* b = new T;
        b->SetBuffer(device->GetGpu()->CreateBuffer(
                         {size, sys::gpu::Usage::Dynamic, bind, sys::gpu::kCpuWrite, 0}, nullptr),
                     1, size);
        return b;
    }

    std::vector<sys::gpu::NullCall> CallsOf(sys::gpu::NullOp op) const {
        std::vector<sys::gpu::NullCall> r;
        for (const auto& c : *calls)
            if (c.op == op)
                r.push_back(c);
        return r;
    }

    GraphicsDevice* device = nullptr;
    ContextBuffer* buffer = nullptr;
    ContextExecutor* executor = nullptr;
    DrawContext* context = nullptr;
    std::vector<sys::gpu::NullCall>* calls = nullptr;
};

} // namespace graphics_test
