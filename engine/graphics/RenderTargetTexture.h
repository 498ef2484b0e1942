#pragma once

#include "engine/graphics/Texture.h"

namespace Mireku::Graphics {

class RenderTargetTexture : public Texture {
public:
    ~RenderTargetTexture() override;
    uint32_t GetKind() const override { return kRenderTarget; }
    sys::gpu::View* GetRenderTargetView() const override { return renderTargetView_; }
    void SetRenderTargetView(sys::gpu::View* view) { renderTargetView_ = view; }

private:
    sys::gpu::View* renderTargetView_ = nullptr;
};

} // namespace Mireku::Graphics
