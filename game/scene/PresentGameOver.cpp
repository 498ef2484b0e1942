#include "game/scene/PresentGameOver.h"

#include "engine/renderer/SpriteRenderer.h"
#include "game/core/ScreenLayout.h"
#include "game/flow/TextureFile.h"

PresentGameOver::~PresentGameOver() {
    ReleaseTextures();
}

void PresentGameOver::LoadTextures(Mireku::Resource::ChildResourceLoader& loader) {
    for (uint32_t slot = 0; slot < kTextureSlots && kTextureNames[slot]; ++slot) {
        ReleaseTexture(textures_[slot]);
        textures_[slot] = ReadTexture(loader, kFolder, kTextureNames[slot]);
    }
}

void PresentGameOver::ReleaseTextures() {
    for (Mireku::Graphics::Texture*& texture : textures_)
        ReleaseTexture(texture);
}

bool PresentGameOver::StepFadeIn() {
    progress_ += 0.016666668f;
    if (progress_ < 1.0f)
        return true;
    progress_ = 1.0f;
    frameCounter_ %= 2;
    return false;
}

void PresentGameOver::Draw(Mireku::Renderer::SpriteRenderer* hud) {
    ++frameCounter_;
    if (!hud)
        return;
    hud->SetTexture(nullptr);
    hud->SetBlend(Mireku::Renderer::SpriteRenderer::kBlendAlpha);
    hud->SetColor(0, 0xFF000000u);
    hud->SetTexCoord0(0.0f, 0.0f, 1.0f, 1.0f);
    hud->SetRect(0.0f, 0.0f, ScreenLayout::kWidth, ScreenLayout::kHeight);
    hud->Submit();

    hud->SetTexture((frameCounter_ & 1) ? textures_[0] : textures_[1]);
    // The caption spans the play field's width.
    hud->SetBlend(Mireku::Renderer::SpriteRenderer::kBlendAlpha);
    hud->SetColor(0, (GetCaptionAlpha() << 24) | 0x00FFFFFFu);
    hud->SetTexCoord0(0.0f, 0.0f, ScreenLayout::kFieldSize, 60.0f);
    hud->SetRect(ScreenLayout::kFieldLeft, 300.0f, ScreenLayout::kFieldSize, 60.0f);
    hud->Submit();
}
