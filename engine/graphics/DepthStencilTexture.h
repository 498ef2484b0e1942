#pragma once

#include "engine/graphics/Texture.h"

namespace Mireku::Graphics {

class DepthStencilTexture : public Texture {
public:
    ~DepthStencilTexture() override;
    uint32_t GetKind() const override { return kDepthStencil; }
    sys::gpu::View* GetDepthStencilView() const override { return depthStencilView_; }
    void SetDepthStencilView(sys::gpu::View* view) { depthStencilView_ = view; }

private:
    sys::gpu::View* depthStencilView_ = nullptr;
};

} // namespace Mireku::Graphics
