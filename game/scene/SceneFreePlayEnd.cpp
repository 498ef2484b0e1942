#include "game/scene/SceneFreePlayEnd.h"

#include "engine/renderer/SpriteRenderer.h"
#include "game/core/DrawOrder.h"
#include "game/core/InputManager.h"
#include "game/core/ScreenLayout.h"
#include "game/flow/TextureFile.h"
#include "game/scene/HudSprite.h"
#include "game/scene/SceneTitle.h"

using Mireku::Renderer::SpriteRenderer;

void SceneFreePlayEnd::OnBegin() {
    counter_ = 0;
    stop_ = 0;
    OpenMusic(kMusic);
}

void SceneFreePlayEnd::LoadResources(Mireku::Resource::ChildResourceLoader& loader) {
    picture_ = ReadTexture(loader, kPictureFolder, kPictureFile);
}

void SceneFreePlayEnd::ReleaseResources() {
    ReleaseTexture(picture_);
    FlowScene::ReleaseResources();
}

void SceneFreePlayEnd::OnShown() {
    counter_ = kShowFrames;
    stop_ = 0;
}

void SceneFreePlayEnd::StateShown() {
    if (stop_ == 0) {
        --counter_;
        if (counter_ <= 0 || (Pressed() & (InputManager::kShot | InputManager::kExWeapon)))
            FadeOutToLeave(kFadeFrames);
    }
    Draw();
}

void SceneFreePlayEnd::StateLeave() {
    LeaveFor<SceneTitle>();
}

void SceneFreePlayEnd::Draw() {
    SpriteRenderer* hud = Hud();
    if (!hud)
        return;
    hud->SetPriority(DrawOrder::kBackdrop);
    hud->SetBlend(SpriteRenderer::kBlendAlpha);
    hud->SetFilter(0, SpriteRenderer::kFilterPoint);
    hud->SetColor(0, HudSprite::kWhite);
    hud->SetTexture(picture_);
    HudSprite::TexelsAt(hud, 0, 0, ScreenLayout::kWidth, ScreenLayout::kHeight, 0, 0);
}
