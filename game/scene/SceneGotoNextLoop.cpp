#include "game/scene/SceneGotoNextLoop.h"

#include "engine/renderer/SpriteRenderer.h"
#include "game/core/DrawOrder.h"
#include "game/core/GlobalWork.h"
#include "game/core/InputManager.h"
#include "game/flow/SceneDriver.h"
#include "game/flow/TextureFile.h"
#include "game/scene/HudSprite.h"
#include "game/scene/RankingOrTitle.h"
#include "game/scene/SceneGame.h"
#include "game/scene/SceneRanking.h"

#include <cstring>

using Mireku::Renderer::SpriteRenderer;

namespace {

constexpr float kScale = 1.5f;
constexpr float kLineX = 66.25f;
constexpr float kLineY = 292.5f;
constexpr float kYesX = 252.5f;
constexpr float kNoX = 915.0f;
constexpr float kAnswerY = 382.5f;

} // namespace

void SceneGotoNextLoop::OnBegin() {
    counter_ = 0;
    step_ = kTyping;
    shown_ = 0;
    answer_ = 0;
    if (GlobalWork* work = Work())
        work->SetProgressFlag();
}

void SceneGotoNextLoop::LoadResources(Mireku::Resource::ChildResourceLoader& loader) {
    glyphs_ = ReadTexture(loader, SceneRanking::kTextureFolder,
                          SceneRanking::kTextureNames[SceneRanking::kGlyphs]);
    LoadTextures(loader);
}

void SceneGotoNextLoop::ReleaseResources() {
    ReleaseTexture(glyphs_);
    ReleaseTextures();
}

// No music of its own: state 1 passes at once.
void SceneGotoNextLoop::Update() {
    static constexpr void (SceneGotoNextLoop::*kStates[])() = {
        &SceneGotoNextLoop::StateLoading,  &SceneGotoNextLoop::StateMusic,
        &SceneGotoNextLoop::StateStart,    &SceneGotoNextLoop::StateFadeIn,
        &SceneGotoNextLoop::StateDialogue, &SceneGotoNextLoop::StateLeaving};
    RunState(this, kStates);
}

void SceneGotoNextLoop::StateDialogue() {
    RunStep();
    Draw();
}

void SceneGotoNextLoop::RunStep() {
    const uint32_t pressed = Pressed();
    switch (step_) {
    case kTyping:
        if (++counter_ % kFramesPerCharacter == 0)
            ++shown_;
        if (shown_ >= kLineLength) {
            step_ = kLineShown;
            counter_ = 0;
        }
        break;
    case kLineShown:
        if (++counter_ > kPauseAfterLine) {
            step_ = kBeforeQuestion;
            counter_ = 0;
        }
        break;
    case kBeforeQuestion:
        if (++counter_ > kPauseBeforeQuestion)
            step_ = kOnNo;
        break;
    case kOnNo:
    case kOnYes:
        if (pressed & (InputManager::kLeft | InputManager::kRight)) {
            step_ = step_ == kOnNo ? kOnYes : kOnNo;
            PlaySound(kSoundCursor);
        } else if (pressed & InputManager::kShot) {
            PlaySound(kSoundDecide);
            Answer(step_ == kOnYes);
        } else if (pressed & InputManager::kExWeapon) {
            PlaySound(kSoundBack);
            Answer(false);
        }
        break;
    case kCaptionFadeIn:
        if (!StepFadeIn())
            step_ = kCaption;
        break;
    case kCaption:
        if ((pressed & (InputManager::kShot | InputManager::kExWeapon)) ||
            GetFrameCounter() >= kCaptionFrames)
            LeaveDialogue();
        break;
    default:
        break;
    }
}

void SceneGotoNextLoop::Answer(bool yes) {
    answer_ = yes ? 1 : 0;
    if (yes) {
        LeaveDialogue();
        return;
    }
    Restart();
    step_ = kCaptionFadeIn;
}

void SceneGotoNextLoop::LeaveDialogue() {
    SetState(5);
    if (SceneDriver* driver = Driver())
        driver->StartFadeUp(kFadeOutFrames,
                            Mireku::Common::Delegate00(this, &SceneGotoNextLoop::OnFadedOut));
}

void SceneGotoNextLoop::OnFadedOut() {
    if (GetState() != 5)
        return;
    Finish();
    SceneDriver* driver = Driver();
    GlobalWork* work = Work();
    if (!driver || !work)
        return;
    if (answer_) {
        driver->CreateScene<SceneGame>();
        ++work->stage;
        return;
    }
    PushRankingOrTitle();
}

void SceneGotoNextLoop::Draw() {
    SpriteRenderer* hud = Hud();
    if (step_ == kCaptionFadeIn || step_ == kCaption) {
        PresentGameOver::Draw(hud);
        return;
    }
    if (!hud)
        return;
    HudSprite::Backdrop(hud, DrawOrder::kBackdrop);
    hud->SetBlend(SpriteRenderer::kBlendAlpha);
    hud->SetTexture(glyphs_);
    hud->SetFilter(0, SpriteRenderer::kFilterLinear);
    hud->SetColor(0, HudSprite::kTextBright);
    char line[64];
    const size_t n = shown_ < kLineLength ? static_cast<size_t>(shown_) : kLineLength;
    std::memcpy(line, kLine, n);
    line[n] = '\0';
    SceneRanking::DrawSpriteText(hud, line, kLineX, kLineY, kScale, kScale);
    if (step_ < kBeforeQuestion)
        return;
    hud->SetColor(0, step_ == kOnYes ? HudSprite::kTextBright : HudSprite::kTextDim);
    SceneRanking::DrawSpriteText(hud, "yes", kYesX, kAnswerY, kScale, kScale);
    hud->SetColor(0, step_ == kOnNo ? HudSprite::kTextBright : HudSprite::kTextDim);
    SceneRanking::DrawSpriteText(hud, "no", kNoX, kAnswerY, kScale, kScale);
}
