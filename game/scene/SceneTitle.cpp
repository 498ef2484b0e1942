#include "game/scene/SceneTitle.h"

#include "engine/renderer/SpriteRenderer.h"
#include "game/core/DrawOrder.h"
#include "game/core/GlobalWork.h"
#include "game/core/InputManager.h"
#include "game/core/ProgressBlock.h"
#include "game/flow/SceneDriver.h"
#include "game/flow/TextureFile.h"
#include "game/scene/HudSprite.h"
#include "game/scene/SceneGame.h"
#include "game/scene/SceneSelectGameMenu.h"
#include "game/vfx/VfxInstance.h"

namespace {

// The six pilot-unlock flags of the progress image.
bool AllPilotsUnlocked(const uint8_t* progress) {
    for (uint32_t i = 0; i < 4; ++i)
        if (!progress[ProgressBlock::kOffsetDefaultOnFlags + i])
            return false;
    return progress[ProgressBlock::kOffsetUnlockA] && progress[ProgressBlock::kOffsetUnlockB];
}

} // namespace

void SceneTitle::OnBegin() {
    counter_ = 0;
    called_ = false;
    if (s_demoReturned) {
        music_ = -1;
        countdown_ = kDemoWaitAfterDemo;
        return;
    }
    const GlobalWork* work = Work();
    const bool all = work && AllPilotsUnlocked(work->progress);
    OpenMusic(all ? kMusicAllPilots : kMusic);
    countdown_ = all ? kDemoWaitAllPilots : kDemoWait;
}

void SceneTitle::LoadResources(Mireku::Resource::ChildResourceLoader& loader) {
    LoadEffect(loader, kEffectFolder, kEffectFile, kEffectName);
    glyphs_ = ReadTexture(loader, kGlyphFolder, kGlyphFile);
}

void SceneTitle::ReleaseResources() {
    ReleaseTexture(glyphs_);
    FlowScene::ReleaseResources();
}

// State 3 is the intro here: the title takes no fade-in wait.
void SceneTitle::Update() {
    static constexpr void (SceneTitle::*kStates[])() = {
        &SceneTitle::StateLoading, &SceneTitle::StateMusic,   &SceneTitle::StateStart,
        &SceneTitle::StateIntro,   &SceneTitle::StateWaiting, &SceneTitle::StateLeaving,
        &SceneTitle::StateNothing};
    RunState(this, kStates);
}

void SceneTitle::StateIntro() {
    if (Pressed() & InputManager::kShot) {
        if (effect_)
            effect_->SetParameter(kSkipIntroTrigger);
        counter_ = kIntroFrames;
        return;
    }
    if (++counter_ >= kIntroFrames)
        SetState(4);
}

void SceneTitle::StateWaiting() {
    GlobalWork* work = Work();
    if (Pressed() & InputManager::kShot) {
        if (work)
            work->attractDemo = 0;
        s_demoReturned = 0;
        PlaySound(kSoundStart);
        LeaveTitle();
    } else if (--countdown_ == 0 && work && work->LoadDemoReplay()) {
        // A demo that cannot be read leaves the countdown below 0: the title
        // waits for the player from then on.
        s_demoReturned = 1;
        work->attractDemo = 1;
        LeaveTitle();
    } else {
        CallTitle();
    }
    Draw();
}

void SceneTitle::LeaveTitle() {
    SetState(5);
    ReleaseMusic();
    if (SceneDriver* driver = Driver())
        driver->StartFadeUp(kFadeOutFrames,
                            Mireku::Common::Delegate00(this, &SceneTitle::OnFadedOut));
}

// The last pilot calls the title once each time its effect has stopped.
void SceneTitle::CallTitle() {
    if (IsEffectPlaying(effect_)) {
        called_ = false;
        return;
    }
    const GlobalWork* work = Work();
    if (called_ || !work || work->lastPilot < 0)
        return;
    PlayVoice(work->lastPilot, kVoiceTitleCall);
    called_ = true;
}

void SceneTitle::OnFadedOut() {
    if (GetState() != 5)
        return;
    Finish();
    SceneDriver* driver = Driver();
    if (!driver)
        return;
    const GlobalWork* work = Work();
    if (work && work->attractDemo)
        driver->CreateScene<SceneGame>();
    else
        driver->CreateScene<SceneSelectGameMenu>();
}

void SceneTitle::Draw() {
    using Mireku::Renderer::SpriteRenderer;
    SpriteRenderer* hud = Hud();
    if (!hud)
        return;
    HudSprite::BeginMenu(hud);
    hud->SetTexture(glyphs_);
    hud->SetFilter(0, SpriteRenderer::kFilterPoint);
    for (const VersionGlyph& g : kVersion)
        HudSprite::Texels(hud, kGlyphCell * static_cast<float>(g.column),
                          kGlyphCell * static_cast<float>(g.row), kGlyphCell, kGlyphCell, g.x,
                          kVersionTop, kGlyphCell, kGlyphCell);
}
