#include "game/scene/HudSprite.h"

#include "engine/renderer/SpriteRenderer.h"
#include "game/core/DrawOrder.h"
#include "game/core/ScreenLayout.h"

namespace HudSprite {

using Mireku::Renderer::SpriteRenderer;

void Backdrop(SpriteRenderer* hud, uint32_t priority) {
    if (!hud)
        return;
    hud->SetPriority(priority);
    hud->SetBlend(SpriteRenderer::kBlendNone);
    hud->SetTexture(nullptr);
    hud->SetFilter(0, SpriteRenderer::kFilterPoint);
    hud->SetColor(0, kBlack);
    hud->SetTexCoord0(0.0f, 0.0f, 1.0f, 1.0f);
    hud->SetRect(0.0f, 0.0f, ScreenLayout::kWidth, ScreenLayout::kHeight);
    hud->Submit();
}

void BeginMenu(SpriteRenderer* hud) {
    if (!hud)
        return;
    Backdrop(hud, DrawOrder::kBackdrop);
    hud->SetPriority(DrawOrder::kMenuText);
    hud->SetBlend(SpriteRenderer::kBlendAlpha);
    hud->SetColor(0, kWhite);
}

void Texels(SpriteRenderer* hud, float u, float v, float tw, float th, float x, float y, float w,
            float h) {
    if (!hud)
        return;
    hud->SetTexCoord0(u, v, tw, th);
    hud->SetRect(x, y, w, h);
    hud->Submit();
}

} // namespace HudSprite
