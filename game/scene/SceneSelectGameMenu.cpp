#include "game/scene/SceneSelectGameMenu.h"

#include "engine/framework/GameWindow.h"
#include "game/core/DrawOrder.h"
#include "game/core/GlobalWork.h"
#include "game/core/InputManager.h"
#include "game/scene/HudSprite.h"
#include "game/scene/SceneRanking.h"
#include "game/scene/SceneSelectPilot.h"
#include "game/scene/SceneSetup.h"
#include "game/vfx/VfxInstance.h"

void SceneSelectGameMenu::OnBegin() {
    cursor_ = 0;
    OpenMusic(kMusic);
}

void SceneSelectGameMenu::LoadResources(Mireku::Resource::ChildResourceLoader& loader) {
    LoadEffect(loader, kEffectFolder, kEffectFile, kEffectName);
}

void SceneSelectGameMenu::Raise(uint32_t bit) {
    if (effect_)
        effect_->SetParameter(bit);
}

// Input is taken only once the fade-in has ended.
void SceneSelectGameMenu::OnShown() {
    Raise(kHighlightBit + static_cast<uint32_t>(cursor_));
}

void SceneSelectGameMenu::MoveTo(int32_t cursor) {
    cursor_ = static_cast<int8_t>(cursor);
    Raise(kHighlightBit + static_cast<uint32_t>(cursor_));
    PlaySound(kSoundCursor);
}

void SceneSelectGameMenu::StateShown() {
    const uint32_t pressed = Pressed();
    if (pressed & InputManager::kShot) {
        Raise(kDecisionBit + static_cast<uint32_t>(cursor_));
        LeaveByFade(kFadeFrames, kSoundDecide);
        if (GlobalWork* work = Work()) {
            work->mode = kStartMode;
            work->storyMode = cursor_ == kStory ? 1 : 0;
        }
    } else if (pressed & InputManager::kUp) {
        MoveTo((cursor_ + kEntryCount - 1) % kEntryCount);
    } else if (pressed & InputManager::kDown) {
        MoveTo((cursor_ + 1) % kEntryCount);
    } else if (pressed & (InputManager::kLeft | InputManager::kRight)) {
        // Left and right only switch between the two entries of the bottom row.
        if (cursor_ == kSetup)
            MoveTo(kExit);
        else if (cursor_ == kExit)
            MoveTo(kSetup);
    }
    Draw();
}

void SceneSelectGameMenu::StateLeave() {
    GlobalWork* work = Work();
    switch (cursor_) {
    case kArcade:
    case kStory:
    case kChallenge:
        if (work)
            work->BeginGame(kGameTypes[cursor_]);
        LeaveFor<SceneSelectPilot>();
        break;
    case kRanking:
        if (work)
            work->SetSceneArgs(kRankingMode, -1);
        LeaveFor<SceneRanking>();
        break;
    case kSetup:
        LeaveFor<SceneSetup>();
        break;
    default:
        // No screen follows: the window closes and the game shuts down,
        // writing its saves.
        Finish();
        Mireku::Framework::RequestClose();
        break;
    }
}

void SceneSelectGameMenu::Draw() {
    HudSprite::Backdrop(Hud(), DrawOrder::kBackdrop);
}
