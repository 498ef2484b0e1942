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
    float GetInvWidth() const { return invWidth_; }
    float GetInvHeight() const { return invHeight_; }

    void Set(sys::gpu::Texture* texture, sys::gpu::View* view, int16_t width, int16_t height,
             uint32_t format);

protected:
    sys::gpu::Texture* texture_ = nullptr;
    sys::gpu::View* shaderResourceView_ = nullptr;
    sys::gpu::View* thirdView_ = nullptr;
    int16_t width_ = 0;
    int16_t height_ = 0;
    uint32_t count_ = 1;
    uint32_t format_ = 0;
    float invWidth_ = 0.0f;
    float invHeight_ = 0.0f;
};

} // namespace Mireku::Graphics
