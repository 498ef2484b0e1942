#pragma once

#include "engine/graphics/GraphicsResource.h"

#include <cstdint>

namespace sys::gpu {
struct Buffer;
struct View;
} // namespace sys::gpu

namespace Mireku::Graphics {

class BaseBuffer : public GraphicsResource {
public:
    enum Usage : uint32_t { kUsageDefault = 0, kUsageDynamic = 1 };

    ~BaseBuffer() override;

    sys::gpu::Buffer* GetBuffer() const { return buffer_; }
    sys::gpu::View* GetUnorderedAccessView() const { return unorderedAccessView_; }
    uint32_t GetUsage() const { return usage_; }
    uint32_t GetByteSize() const { return byteSize_; }

    void SetBuffer(sys::gpu::Buffer* buffer, uint32_t usage, uint32_t byteSize) {
        buffer_ = buffer;
        usage_ = usage;
        byteSize_ = byteSize;
    }
    void SetUnorderedAccessView(sys::gpu::View* view) { unorderedAccessView_ = view; }

protected:
    sys::gpu::Buffer* buffer_ = nullptr;
    sys::gpu::View* unorderedAccessView_ = nullptr;
    uint32_t usage_ = kUsageDefault;
    uint32_t byteSize_ = 0;
};

} // namespace Mireku::Graphics
