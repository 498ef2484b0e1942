#pragma once

#include "engine/graphics/GraphicsResource.h"

#include <cstdint>

namespace sys::gpu {
struct Texture;
struct View;
} // namespace sys::gpu

namespace Mireku::Graphics {

class Texture : public GraphicsResource {
public:
    enum Kind : uint32_t { kTexture = 0, kRenderTarget = 1, kDepthStencil = 2 };

    ~Texture() override;

    virtual uint32_t GetKind() const { return kTexture; }
    virtual sys::gpu::View* GetRenderTargetView() const { return nullptr; }
    virtual sys::gpu::View* GetDepthStencilView() const { return nullptr; }

    sys::gpu::Texture* GetTexture() const { return texture_; }
    sys::gpu::View* GetShaderResourceView() const { return shaderResourceView_; }
    int16_t GetWidth() const { return width_; }
    int16_t GetHeight() const { return height_; }
    uint32_t GetFormat() const { return format_; }
    // The mip levels the texture was made with (a file's whole chain); 0 for
    // an empty texture.
    uint32_t GetMipLevels() const { return mipLevels_; }
    // 1/width and 1/height, 0 for an empty texture.
    float GetInvWidth() const { return width_ ? 1.0f / static_cast<float>(width_) : 0.0f; }
    float GetInvHeight() const { return height_ ? 1.0f / static_cast<float>(height_) : 0.0f; }

    void Set(sys::gpu::Texture* texture, sys::gpu::View* view, int16_t width, int16_t height,
             uint32_t format, uint32_t mipLevels);

protected:
    sys::gpu::Texture* texture_ = nullptr;
    sys::gpu::View* shaderResourceView_ = nullptr;
    int16_t width_ = 0;
    int16_t height_ = 0;
    uint32_t format_ = 0;
    uint32_t mipLevels_ = 0;
};

} // namespace Mireku::Graphics
