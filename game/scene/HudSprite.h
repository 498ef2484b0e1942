// Drawing on the screen-wide "HUD" sprite layer as the screens do: colours
// in the renderer's byte order, full-screen rectangles and texel rectangles
// of the current texture placed on the screen.
#pragma once

#include <cstdint>

namespace Mireku::Renderer {
class SpriteRenderer;
}

namespace HudSprite {

// The renderer's 32-bit colour (bytes red, green, blue, alpha in memory) of
// an alpha and three colour bytes.
constexpr uint32_t Colour(uint8_t alpha, uint8_t red, uint8_t green, uint8_t blue) {
    return static_cast<uint32_t>(alpha) << 24 | static_cast<uint32_t>(blue) << 16 |
           static_cast<uint32_t>(green) << 8 | red;
}
constexpr uint32_t kWhite = Colour(255, 255, 255, 255);
constexpr uint32_t kBlack = Colour(255, 0, 0, 0);
// The light yellow-green of the sprite-font screens, and its dim twin.
constexpr uint32_t kTextBright = Colour(255, 0xBA, 0xFF, 0x20);
constexpr uint32_t kTextDim = Colour(255, 0x3E, 0x55, 0x0A);

// An opaque black, untextured, unblended rectangle over the whole screen at
// `priority`: the backdrop that effect layer 0 draws on.
void Backdrop(Mireku::Renderer::SpriteRenderer* hud, uint32_t priority);
// A menu screen's start: the backdrop at DrawOrder::kBackdrop (effect layer
// 0 draws on it), then alpha-blended opaque white at DrawOrder::kMenuText
// for the text and icons over the effect.
void BeginMenu(Mireku::Renderer::SpriteRenderer* hud);
// The texel rectangle (u, v) of size (tw, th) of the current texture drawn
// at (x, y) with size (w, h).
void Texels(Mireku::Renderer::SpriteRenderer* hud, float u, float v, float tw, float th, float x,
            float y, float w, float h);
// The same at the texel rectangle's own size.
inline void TexelsAt(Mireku::Renderer::SpriteRenderer* hud, float u, float v, float tw, float th,
                     float x, float y) {
    Texels(hud, u, v, tw, th, x, y, tw, th);
}

} // namespace HudSprite
