// The graphics stack on the null backend, with the device calls it records:
// the test thread owns the device and runs the executor itself.
#pragma once

#include "support/GraphicsFixture.h"

#include "sys/gpu_null.h"

#include <vector>

namespace graphics_test {

using namespace Mireku::Graphics;

class NullGraphics : public ::testing::Test {
protected:
    static constexpr uint32_t kBlockSize = testing_graphics::GraphicsStack::kBlockSize;

    void SetUp() override {
        ASSERT_TRUE(stack.Start(sys::gpu::Backend::Null, 1280, 720));
        device = stack.Device();
        buffer = ContextBuffer::GetInstance();
        executor = ContextExecutor::GetInstance();
        context = GetDrawContext();
        calls = sys::gpu::NullCalls(device->GetGpu());
        calls->clear();
    }
    void TearDown() override { stack.Stop(); }

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

    testing_graphics::GraphicsStack stack;
    GraphicsDevice* device = nullptr;
    ContextBuffer* buffer = nullptr;
    ContextExecutor* executor = nullptr;
    DrawContext* context = nullptr;
    std::vector<sys::gpu::NullCall>* calls = nullptr;
};

} // namespace graphics_test
