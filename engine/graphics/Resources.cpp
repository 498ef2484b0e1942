// Destructors and small operations of the graphics wrappers.
#include "engine/common/Heap.h"
#include "engine/graphics/BaseBuffer.h"
#include "engine/graphics/ConstantBuffer.h"
#include "engine/graphics/ContextBuffer.h"
#include "engine/graphics/DepthStencilTexture.h"
#include "engine/graphics/GraphicsDevice.h"
#include "engine/graphics/RenderTargetTexture.h"
#include "engine/graphics/ShaderBase.h"
#include "engine/graphics/StagedBuffer.h"
#include "engine/graphics/Texture.h"
#include "engine/graphics/VertexLayout.h"

#include <cstring>

namespace Mireku::Graphics {

BaseBuffer::~BaseBuffer() {
    ReleaseDeviceObject(sys::gpu::AsObject(unorderedAccessView_));
    ReleaseDeviceObject(sys::gpu::AsObject(buffer_));
}

void* ConstantBuffer::AllocData(uint32_t size) {
    writing_ = 1;
    ContextBuffer* cb = ContextBuffer::GetInstance();
    data_ = cb ? cb->AllocBack(size) : nullptr;
    dataSerial_ = cb ? cb->GetFrameSerial() : 0;
    return data_;
}

void* ConstantBuffer::GetData() const {
    const ContextBuffer* cb = ContextBuffer::GetInstance();
    if (!cb || cb->GetFrameSerial() != dataSerial_)
        return nullptr;
    return data_;
}

StagedBuffer::~StagedBuffer() {
    for (uint8_t*& s : staging_) {
        if (s)
            Common::Heap::LockedFree(s);
        s = nullptr;
    }
}

bool StagedBuffer::AllocateStaging(uint32_t byteSize) {
    for (uint8_t*& s : staging_) {
        if (!s)
            s = static_cast<uint8_t*>(Common::Heap::LockedAlloc(byteSize ? byteSize : 1));
        if (!s)
            return false;
    }
    return true;
}

void StagedBuffer::Unlock(uint32_t half, uint32_t bytes) {
    writing_ = 0;
    uint32_t& p = pending_[half & 1];
    if (bytes > p)
        p = bytes;
}

void StagedBuffer::Upload(uint32_t half) {
    uint32_t& pending = pending_[half & 1];
    const uint8_t* src = staging_[half & 1];
    GraphicsDevice* device = GraphicsDevice::GetInstance();
    if (pending == 0 || !src || !device || !buffer_)
        return;
    void* dst = device->MapBuffer(buffer_, 0);
    if (dst) {
        std::memcpy(dst, src, pending < byteSize_ ? pending : byteSize_);
        device->UnmapBuffer(buffer_);
    }
    pending = 0;
}

VertexLayout::~VertexLayout() {
    ReleaseDeviceObject(sys::gpu::AsObject(layout_));
}

ShaderBase::~ShaderBase() {
    ReleaseDeviceObject(sys::gpu::AsObject(shader_));
}

Texture::~Texture() {
    ReleaseDeviceObject(sys::gpu::AsObject(shaderResourceView_));
    ReleaseDeviceObject(sys::gpu::AsObject(texture_));
}

void Texture::Set(sys::gpu::Texture* texture, sys::gpu::View* view, int16_t width, int16_t height,
                  uint32_t format, uint32_t mipLevels) {
    texture_ = texture;
    shaderResourceView_ = view;
    width_ = width;
    height_ = height;
    format_ = format;
    mipLevels_ = mipLevels;
}

RenderTargetTexture::~RenderTargetTexture() {
    ReleaseDeviceObject(sys::gpu::AsObject(renderTargetView_));
}

DepthStencilTexture::~DepthStencilTexture() {
    ReleaseDeviceObject(sys::gpu::AsObject(depthStencilView_));
}

} // namespace Mireku::Graphics
