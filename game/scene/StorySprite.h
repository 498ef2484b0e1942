// One textured quad on a sprite layer, as the story screens draw them: a
// texel rectangle of a texture placed over a rectangle of the layer. A null
// layer draws nothing. Colours are 0xAABBGGRR.
#pragma once

#include "engine/renderer/SpriteRenderer.h"

#include <cstdint>

namespace StorySprite {

constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kBlack = 0xFF000000u;

// A grey of level `level` (0-1, for each of red, green and blue) or a colour
// with alpha `level` (0-1): 255 x level, cut to a byte.
constexpr uint32_t Level(float level) {
    const float v = level < 0.0f ? 0.0f : (level > 1.0f ? 1.0f : level);
    return static_cast<uint32_t>(v * 255.0f);
}
constexpr uint32_t Grey(float level) {
    const uint32_t c = Level(level);
    return 0xFF000000u | c << 16 | c << 8 | c;
}
constexpr uint32_t WithAlpha(uint32_t colour, float level) {
    return (colour & 0x00FFFFFFu) | Level(level) << 24;
}

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

} // namespace StorySprite
