// Submitting one textured quad to a sprite layer: the few shapes every game
// object and screen draws (a texel rectangle placed as it is, or centred,
// turned and scaled about its centre). Colours are 0xAABBGGRR.
#pragma once

#include "engine/renderer/SpriteRenderer.h"

#include <cstdint>

namespace SpriteQuad {

constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kAlpha = Mireku::Renderer::SpriteRenderer::kBlendAlpha;
constexpr uint32_t kAdd = Mireku::Renderer::SpriteRenderer::kBlendAdd;

constexpr uint32_t WhiteWithAlpha(int32_t alpha) {
    const uint32_t a = alpha < 0 ? 0u : (alpha > 255 ? 255u : static_cast<uint32_t>(alpha));
    return a << 24 | 0x00FFFFFFu;
}

// The texel rectangle (u, v, w, h) of `texture` drawn over the screen
// rectangle (x, y, sw, sh) with the blend (kAlpha, kAdd). Every sprite sets
// its blend: the layer keeps whatever the previous sprite left.
inline void Place(Mireku::Renderer::SpriteRenderer* layer, Mireku::Graphics::Texture* texture,
                  uint32_t blend, float u, float v, float w, float h, float x, float y, float sw,
                  float sh, uint32_t colour = kWhite) {
    if (!layer)
        return;
    layer->SetBlend(blend);
    layer->SetTexture(texture);
    layer->SetRect(x, y, sw, sh);
    layer->SetTexCoord0(u, v, w, h);
    layer->SetColor(0, colour);
    layer->Submit();
}

// The texel rectangle (u, v, w, h) at its own size, centred on (cx, cy),
// turned by `angle` and scaled by `scale` about its centre.
inline void Centred(Mireku::Renderer::SpriteRenderer* layer, Mireku::Graphics::Texture* texture,
                    uint32_t blend, float u, float v, float w, float h, float cx, float cy,
                    float scale, float angle, uint32_t colour = kWhite) {
    if (!layer)
        return;
    layer->SetBlend(blend);
    layer->SetTexture(texture);
    layer->SetRectRotatedScaled(cx - w * 0.5f, cy - h * 0.5f, w, h, scale, angle);
    layer->SetTexCoord0(u, v, w, h);
    layer->SetColor(0, colour);
    layer->Submit();
}

// The texel rectangle (u, v, w, h) over any four corners, in the order
// top-left, top-right, bottom-left, bottom-right of the rectangle.
inline void Corners(Mireku::Renderer::SpriteRenderer* layer, Mireku::Graphics::Texture* texture,
                    uint32_t blend, float u, float v, float w, float h,
                    const Mireku::Common::Vector2& topLeft, const Mireku::Common::Vector2& topRight,
                    const Mireku::Common::Vector2& bottomLeft,
                    const Mireku::Common::Vector2& bottomRight, uint32_t colour = kWhite) {
    if (!layer)
        return;
    layer->SetBlend(blend);
    layer->SetTexture(texture);
    layer->SetPositions(topLeft, topRight, bottomLeft, bottomRight);
    layer->SetTexCoord0(u, v, w, h);
    layer->SetColor(0, colour);
    layer->Submit();
}

} // namespace SpriteQuad
