#include "game/scene/SceneGame.h"

#include "engine/renderer/SpriteRenderer.h"
#include "game/core/DrawOrder.h"
#include "game/core/GameState.h"
#include "game/core/GlobalWork.h"
#include "game/core/InputManager.h"
#include "game/core/ScreenLayout.h"
#include "game/core/SoundManager.h"
#include "game/core/SpriteManager.h"
#include "game/flow/SceneDriver.h"
#include "game/flow/TextureFile.h"
#include "game/scene/HudSprite.h"
#include "game/scene/RankingOrTitle.h"
#include "game/scene/SceneSelectGameMenu.h"
#include "game/scene/SceneTitle.h"
#include "game/scene/StageEndFlow.h"
#include "game/stage/GameObjectDirector.h"

#include <iterator>

namespace {

using Mireku::Renderer::SpriteRenderer;

constexpr uint32_t kAnyButton = 0xFFFF;
constexpr int32_t kDemoFadeFrames = 15;
constexpr int32_t kLeaveFadeFrames = 15;
constexpr int32_t kSoundCursor = 3;
constexpr int32_t kSoundPause = 12;
constexpr int32_t kSoundPauseDecide = 13;
constexpr int32_t kVoiceGameOver = 30;
constexpr uint32_t kScoreAttackType = GameState::kScoreAttackType;

// The pause window: 394 x 180 at (477, 270), scaled about its centre.
constexpr float kWindowLeft = 477.0f;
constexpr float kWindowTop = 270.0f;
constexpr float kWindowWidth = 394.0f;
constexpr float kWindowHeight = 180.0f;
constexpr float kWindowCentreX = kWindowLeft + kWindowWidth * 0.5f;
constexpr float kWindowCentreY = kWindowTop + kWindowHeight * 0.5f;
constexpr float kItemX = 577.0f;
constexpr float kMenuRows[3] = {335.0f, 360.0f, 385.0f};
constexpr float kDialogRows[2] = {331.0f, 359.0f};
constexpr float kDialogItemX = 555.0f;
constexpr float kNoiseX = 565.0f;
constexpr int32_t kDimAlpha = 100;
constexpr float kCursorCell = 40.0f;
constexpr float kCursorSize = 28.0f;
constexpr float kCursorGlow = 54.0f;

// The counters the overlays animate by, kept across stages as the game's
// own: the window's two pictures (0-3 per draw), the cursor strips of the
// menu and of the dialog (0-15 per draw) and the frame counter of the
// demonstration caption and of the continue panel.
uint32_t s_windowFrame = 0;
uint32_t s_menuCursorFrame = 0;
uint32_t s_dialogCursorFrame = 0;
uint32_t s_frameCounter = 0;

GlobalWork* Work() {
    return GlobalWork::GetInstance();
}

SceneDriver* Driver() {
    return SceneDriver::GetInstance();
}

SoundManager* Sound() {
    return SoundManager::GetInstance();
}

uint32_t Pressed() {
    const InputManager* input = InputManager::GetInstance();
    return input ? input->GetTriggered() : 0;
}

void PlaySound(int32_t id) {
    if (SoundManager* sound = Sound())
        sound->PlaySE(id, false);
}

void PlayVoice(int32_t line) {
    const GlobalWork* gw = Work();
    SoundManager* sound = Sound();
    if (gw && sound)
        sound->PlayVoice(gw->player.ship, line);
}

SpriteRenderer* Hud() {
    const SpriteManager* sprites = SpriteManager::GetInstance();
    return sprites ? sprites->GetLayer(SpriteLayer::kHud) : nullptr;
}

void ToggleMusicPause() {
    if (SoundManager* sound = Sound())
        sound->PauseMusic();
}

void StartFadeUp(int32_t frames) {
    if (SceneDriver* driver = Driver())
        driver->StartFadeUp(frames, {});
}

// A squared step of the window's opening and closing.
float Square(float v) {
    return v * v;
}

} // namespace

SceneGame::SceneGame() {
    if (GlobalWork* work = Work())
        work->TakeProgressSnapshot();
}

void SceneGame::Begin() {
    if (GlobalWork* gw = Work()) {
        gw->gameState = GameState::kPlaying;
        gw->misses = 0;
        gw->hitsTaken = 0;
    }
    // Null when the pool has no block left: the screen then runs without
    // a stage.
    director_ = new GameObjectDirector();
    pauseStep_ = pauseCounter_ = pauseCursor_ = 0;
    gameOverStep_ = gameOverCounter_ = darkening_ = 0;
    musicStarted_ = 0;
    demoLeaving_ = 0;
    if (GlobalWork* gw = Work())
        gw->stageEndWait = kStageEndFrames;
    LoadingScene::Begin();
    challengeStep_ = 0;
}

void SceneGame::LoadResources(Mireku::Resource::ChildResourceLoader& loader) {
    for (uint32_t i = 0; i < kTextureCount; ++i)
        textures_[i] = ReadTexture(loader, kFolder, kTextureNames[i]);
}

void SceneGame::ReleaseResources() {
    for (Mireku::Graphics::Texture*& texture : textures_)
        ReleaseTexture(texture);
    if (SoundManager* sound = Sound()) {
        if (g_currentMusicSlot == musicSlot_)
            g_currentMusicSlot = -1;
        sound->ReleaseStream(&musicSlot_);
    }
    musicSlot_ = -1;
    delete director_;
    director_ = nullptr;
}

void SceneGame::Update() {
    static constexpr Handler kStates[] = {&SceneGame::StateNothing, &SceneGame::StateLoaded,
                                          &SceneGame::StateStart, &SceneGame::StateRunning,
                                          &SceneGame::StateFinished};
    const int32_t state = GetState();
    if (state >= 0 && static_cast<size_t>(state) < std::size(kStates))
        (this->*kStates[state])();
}

void SceneGame::StateStart() {
    if (SceneDriver* driver = Driver())
        driver->StartFadeDown(kFadeInFrames, {});
    SetState(kRunning);
    demoCountdown_ = kDemoFrames;
}

void SceneGame::StateRunning() {
    const GlobalWork* gw = Work();
    if (!gw)
        return;
    // By the play state; 5 (none) and anything unknown run nothing.
    switch (gw->gameState) {
    case GameState::kPlaying:
        Play();
        break;
    case GameState::kPaused:
        Pause();
        break;
    case GameState::kContinue:
        ContinueCountdown();
        break;
    case GameState::kGameOver:
        GameOver();
        break;
    case GameState::kCleared:
        StageEnd();
        break;
    case GameState::kStory:
        StoryOverlay();
        break;
    case GameState::kTimeUp:
        ChallengeEnd();
        break;
    default:
        break;
    }
}

// --- The stage's tree. ---

void SceneGame::Tick() {
    if (director_)
        director_->TickTree();
}

void SceneGame::UpdateStage() {
    if (director_)
        director_->UpdateTree();
}

void SceneGame::DrawStage() {
    if (director_)
        director_->DrawTree();
}

void SceneGame::SelectSubWeapon(uint32_t pressed) {
    if ((pressed & InputManager::kSceneAction) && director_)
        director_->SelectNextSubWeapon();
}

// --- Play. ---

void SceneGame::Play() {
    const uint32_t pressed = Pressed();
    SelectSubWeapon(pressed);
    GlobalWork* gw = Work();
    const bool demo = gw && gw->playing && gw->attractDemo;
    if (demo && (pressed & kAnyButton))
        LeaveDemo();
    if (pressed & InputManager::kPause) {
        ToggleMusicPause();
        PlaySound(kSoundPause);
        if (gw)
            gw->gameState = GameState::kPaused;
        pauseStep_ = pauseCounter_ = pauseCursor_ = 0;
    } else {
        Tick();
        UpdateStage();
    }
    DrawStage();
    if (demo)
        DrawDemonstration();
}

void SceneGame::DrawDemonstration() {
    const bool odd = (s_frameCounter++ & 1) != 0;
    Overlay(odd ? kDemonstration1 : kDemonstration2, 0.0f, 0.0f, 698.0f, 42.0f, 285.0f, 295.0f,
            698.0f, 42.0f);
    // The demo's length is counted in frames of play: the frames its stage
    // waited for the music, however many the loader took, do not shorten it.
    if (director_ && director_->GetState() != GameObjectDirector::kPlay)
        return;
    if (--demoCountdown_ == 0)
        LeaveDemo();
}

void SceneGame::LeaveDemo() {
    // Once: further presses during the fade neither restart it nor raise
    // the input lock again, so the one completion lowers it back to where
    // it was.
    if (demoLeaving_)
        return;
    demoLeaving_ = 1;
    if (InputManager* input = InputManager::GetInstance())
        input->IncrementLockCount();
    if (SceneDriver* driver = Driver())
        driver->StartFadeUp(kDemoFadeFrames,
                            Mireku::Common::Delegate00(this, &SceneGame::OnDemoFadedOut));
}

void SceneGame::OnDemoFadedOut() {
    if (InputManager* input = InputManager::GetInstance())
        input->DecrementLockCount();
    if (SceneDriver* driver = Driver()) {
        driver->EndAllScenes();
        driver->CreateScene<SceneTitle>();
    }
}

// --- Pause. ---

void SceneGame::Pause() {
    DrawStage();
    const uint32_t pressed = Pressed();
    switch (pauseStep_) {
    case kPauseOpening: {
        const auto c = static_cast<float>(pauseCounter_);
        DrawPauseWindow(false, -1, false, Square((10.0f - c) * 0.1f) * 4.0f + 1.0f,
                        Square(c * 0.1f));
        if (++pauseCounter_ >= 10) {
            pauseCounter_ = 0;
            pauseStep_ = kPauseItems;
        }
        break;
    }
    case kPauseItems:
        DrawPauseWindow(true, pauseCursor_, false, 1.0f, 1.0f);
        for (int32_t row = 0; row < 3; ++row) {
            const int32_t phase = pauseCounter_ / 5 - row;
            if (phase >= 0 && phase <= 2)
                DrawItemNoise(row, phase);
        }
        if (++pauseCounter_ >= 30) {
            pauseCounter_ = 0;
            pauseStep_ = kPauseMenu;
        }
        break;
    case kPauseMenu:
        DrawPauseWindow(true, pauseCursor_, false, 1.0f, 1.0f);
        ++pauseCounter_;
        if (pauseCounter_ / 5 < 3)
            DrawItemNoise(pauseCursor_, pauseCounter_ / 5);
        PauseMenu(pressed);
        break;
    case kPauseClosing: {
        ++pauseCounter_;
        if (pauseCounter_ < 11) {
            const auto c = static_cast<float>(pauseCounter_);
            DrawPauseWindow(false, -1, false, Square(c * 0.1f) * 4.0f + 1.0f,
                            Square((10.0f - c) * 0.1f));
            break;
        }
        if (pauseCursor_ == 0) {
            ToggleMusicPause();
            if (GlobalWork* gw = Work())
                gw->gameState = GameState::kPlaying;
        } else {
            // Restart: the stage again from the player record of its start.
            if (GlobalWork* gw = Work())
                gw->ResetPlayerWork();
            StartFadeUp(1);
            if (SceneDriver* driver = Driver()) {
                driver->EndAllScenes();
                driver->CreateScene<SceneGame>();
            }
        }
        break;
    }
    case kPauseDialog:
        DrawPauseWindow(true, pauseCursor_, true, 1.0f, 1.0f);
        PauseDialog(pressed);
        break;
    case kPauseDialogClosing: {
        const auto c = static_cast<float>(pauseCounter_);
        DrawPauseWindow(false, -1, true, Square(c * 0.05f) * 4.0f + 1.0f,
                        Square((20.0f - c) * 0.05f));
        if (++pauseCounter_ >= 20) {
            if (SceneDriver* driver = Driver()) {
                driver->EndAllScenes();
                driver->CreateScene<SceneSelectGameMenu>();
            }
        }
        break;
    }
    default:
        break;
    }
}

void SceneGame::PauseMenu(uint32_t pressed) {
    if (pressed & InputManager::kPause) {
        PlaySound(kSoundPauseDecide);
        pauseStep_ = kPauseClosing;
        pauseCounter_ = 0;
        pauseCursor_ = 0;
        return;
    }
    if (pressed & InputManager::kShot) {
        PlaySound(kSoundPauseDecide);
        pauseCounter_ = 0;
        if (pauseCursor_ == 2) {
            pauseStep_ = kPauseDialog;
            pauseCursor_ = 1;
            return;
        }
        pauseStep_ = kPauseClosing;
        if (pauseCursor_ == 1) {
            if (SoundManager* sound = Sound())
                sound->ReleaseStream(&musicSlot_);
            StartFadeUp(kLeaveFadeFrames);
        }
        return;
    }
    // Outside a challenge "restart" (row 1) is stepped over both ways.
    const GlobalWork* gw = Work();
    const bool challenge = gw && gw->gameType == kScoreAttackType;
    if (pressed & InputManager::kUp) {
        pauseCursor_ = (pauseCursor_ + 2) % 3;
        if (!challenge && pauseCursor_ == 1)
            pauseCursor_ = 0;
        pauseCounter_ = 0;
        PlaySound(kSoundCursor);
    }
    if (pressed & InputManager::kDown) {
        pauseCursor_ = (pauseCursor_ + 1) % 3;
        if (!challenge && pauseCursor_ == 1)
            pauseCursor_ = 2;
        pauseCounter_ = 0;
        PlaySound(kSoundCursor);
    }
}

void SceneGame::PauseDialog(uint32_t pressed) {
    for (uint32_t button : {InputManager::kUp, InputManager::kDown})
        if (pressed & button) {
            pauseCursor_ ^= 1;
            PlaySound(kSoundCursor);
        }
    if (!(pressed & InputManager::kShot))
        return;
    if (pauseCursor_ == 0) {
        // Yes: the game is given up.
        pauseStep_ = kPauseDialogClosing;
        pauseCounter_ = 0;
        if (SoundManager* sound = Sound())
            sound->ReleaseStream(&musicSlot_);
        StartFadeUp(kLeaveFadeFrames);
    } else {
        pauseStep_ = kPauseMenu;
        pauseCursor_ = 2;
        pauseCounter_ = 0;
    }
}

void SceneGame::DrawPauseWindow(bool items, int32_t cursor, bool dialog, float sx, float sy) {
    const bool first = s_windowFrame < 2;
    s_windowFrame = (s_windowFrame + 1) & 3;
    const uint32_t picture = dialog ? (first ? kDialogWindow1 : kDialogWindow2)
                                    : (first ? kPauseWindow1 : kPauseWindow2);
    const float x0 = kWindowCentreX + (kWindowLeft - kWindowCentreX) * sx;
    const float x1 = kWindowCentreX + (kWindowLeft + kWindowWidth - kWindowCentreX) * sx;
    const float y0 = kWindowCentreY + (kWindowTop - kWindowCentreY) * sy;
    const float y1 = kWindowCentreY + (kWindowTop + kWindowHeight - kWindowCentreY) * sy;
    Overlay(picture, 0.0f, 0.0f, kWindowWidth, kWindowHeight, x0, y0, x1 - x0, y1 - y0);
    Overlay(dialog ? kDialogWindowAdd : kPauseWindowAdd, 0.0f, 0.0f, kWindowWidth, kWindowHeight,
            x0, y0, x1 - x0, y1 - y0, true);
    if (items && !dialog) {
        static constexpr uint32_t kItems[3] = {kPauseResume, kPauseRestart, kPauseBack};
        for (int32_t row = 0; row < 3; ++row)
            Overlay(kItems[row], 0.0f, 0.0f, kWindowWidth, kWindowHeight, kItemX, kMenuRows[row],
                    kWindowWidth, kWindowHeight, false, row == cursor ? 255 : kDimAlpha);
    } else if (items) {
        Overlay(kPauseYes, 0.0f, 0.0f, 41.0f, 24.0f, kDialogItemX, kDialogRows[0], 41.0f, 24.0f,
                false, cursor == 0 ? 255 : kDimAlpha);
        Overlay(kPauseNo, 0.0f, 0.0f, 29.0f, 24.0f, kDialogItemX, kDialogRows[1], 29.0f, 24.0f,
                false, cursor == 1 ? 255 : kDimAlpha);
    }
    if (cursor < 0)
        return;
    const int32_t rows = dialog ? 2 : 3;
    const float rowY = dialog ? kDialogRows[cursor % rows] : kMenuRows[cursor % rows];
    uint32_t& counter = dialog ? s_dialogCursorFrame : s_menuCursorFrame;
    const auto f = static_cast<float>(counter);
    counter = (counter + 1) & 15;
    Overlay(kCursorRight, kCursorCell * f, 0.0f, kCursorCell, kCursorCell,
            dialog ? 523.0f : kItemX - 32.0f, rowY - 2.0f, kCursorSize, kCursorSize);
    Overlay(kPauseCursorAdd, 0.0f, 0.0f, kCursorGlow, kCursorGlow, dialog ? 510.0f : kItemX - 48.0f,
            rowY - 15.0f, kCursorGlow, kCursorGlow, true);
}

void SceneGame::DrawItemNoise(int32_t row, int32_t phase) {
    if (row < 0 || row > 2 || phase < 0 || phase > 2)
        return;
    Overlay(kPauseNoise1 + static_cast<uint32_t>(phase), 0.0f, 0.0f, 240.0f, 24.0f, kNoiseX,
            kMenuRows[row], 240.0f, 24.0f, true);
}

// --- Continue and game over. ---

void SceneGame::ContinueCountdown() {
    GlobalWork* gw = Work();
    if (!gw)
        return;
    const uint32_t pressed = Pressed();
    --gw->continueCountdown;
    const float seconds = static_cast<float>(gw->continueCountdown) / 60.0f;
    if (gw->continueCountdown < 1) {
        gw->gameState = GameState::kGameOver;
        if (SoundManager* sound = Sound())
            sound->OpenStream(&musicSlot_, kMusicFolder, kGameOverMusic);
        musicStarted_ = 0;
    } else if (pressed & InputManager::kShot) {
        if (director_)
            director_->Continue();
        else
            gw->gameState = GameState::kPlaying;
    } else if ((pressed & InputManager::kExWeapon) && seconds <= 7.0f) {
        gw->continueCountdown -= 60;
    }
    DrawStage();
    DrawContinue(seconds);
}

void SceneGame::DrawContinue(float seconds) {
    const bool second = (s_frameCounter++ / 2 & 1) == 0;
    Overlay(second ? kContinueBase2 : kContinueBase1, 0.0f, 0.0f, 720.0f, 236.0f, 280.0f, 150.0f,
            720.0f, 236.0f);
    Overlay(kContinueText, 0.0f, 0.0f, 504.0f, 48.0f, 308.0f, 245.0f, 504.0f, 48.0f);
    int32_t v = static_cast<int32_t>(seconds * 100.0f);
    if (v < 0)
        v = 0; // the frame that runs out may already stand below 0
    const auto digit = [](int32_t d) { return 66.0f * static_cast<float>(d); };
    Overlay(kContinueDigits, digit(v / 100 % 10), 0.0f, 66.0f, 48.0f, 840.0f, 245.0f, 66.0f, 48.0f);
    Overlay(kContinueDigits, digit(v / 10 % 10), 0.0f, 66.0f, 48.0f, 930.0f, 267.0f, 33.0f, 24.0f);
    Overlay(kContinueDigits, digit(v % 10), 0.0f, 66.0f, 48.0f, 960.0f, 267.0f, 33.0f, 24.0f);
    Overlay(kContinueDot, 0.0f, 0.0f, 19.0f, 19.0f, 910.0f, 270.0f, 19.0f, 19.0f);
}

void SceneGame::GameOver() {
    Tick();
    UpdateStage();
    DrawStage();
    if (darkening_ < kDarkeningFrames)
        ++darkening_;
    if (SpriteRenderer* hud = Hud()) {
        hud->SetPriority(DrawOrder::kStageOverlay);
        hud->SetBlend(SpriteRenderer::kBlendAlpha);
        hud->SetTexture(nullptr);
        hud->SetColor(0, HudSprite::Colour(
                             static_cast<uint8_t>(darkening_ * 255 / kDarkeningFrames), 0, 0, 0));
        HudSprite::Texels(hud, 0.0f, 0.0f, 1.0f, 1.0f, 0.0f, 0.0f, ScreenLayout::kWidth,
                          ScreenLayout::kHeight);
        hud->SetPriority(DrawOrder::kHud);
    }
    SoundManager* sound = Sound();
    if (!musicStarted_ && (!sound || sound->IsStreamSettled(musicSlot_))) {
        if (sound) {
            sound->PlayMusic(musicSlot_, false);
            g_currentMusicSlot = musicSlot_;
        }
        musicStarted_ = 1;
    }
    switch (gameOverStep_) {
    case 0:
        if (++gameOverCounter_ >= 120) {
            gameOverCounter_ = 0;
            gameOverStep_ = 1;
            PlayVoice(kVoiceGameOver);
        }
        break;
    case 1:
        DrawGameOverCaption(false);
        if (++gameOverCounter_ >= 300) {
            gameOverCounter_ = 0;
            gameOverStep_ = 2;
        }
        break;
    default: {
        if (gameOverCounter_ < 9)
            DrawGameOverCaption(true);
        if (++gameOverCounter_ < 24)
            break;
        gameOverCounter_ = 0;
        SceneDriver* driver = Driver();
        if (!driver)
            break;
        driver->EndAllScenes();
        StartFadeUp(1);
        if (SoundManager* s = Sound()) {
            if (g_currentMusicSlot == musicSlot_)
                g_currentMusicSlot = -1;
            s->ReleaseStream(&musicSlot_);
        }
        const GlobalWork* gw = Work();
        if (gw && gw->attractDemo)
            driver->CreateScene<SceneTitle>();
        else
            PushRankingOrTitle();
        break;
    }
    }
}

void SceneGame::DrawGameOverCaption(bool noise) {
    const bool odd = (gameOverCounter_ & 1) != 0;
    Overlay(odd ? kGameOver1 : kGameOver2, 0.0f, 0.0f, 720.0f, 60.0f, 280.0f, 300.0f, 720.0f,
            60.0f);
    if (noise)
        Overlay(kGameOverNoise1 + static_cast<uint32_t>(gameOverCounter_ / 3), 0.0f, 0.0f, 720.0f,
                60.0f, 280.0f, 300.0f, 720.0f, 60.0f, true);
}

// --- Stage end, story, challenge end. ---

void SceneGame::StageEnd() {
    Tick();
    UpdateStage();
    DrawStage();
    GlobalWork* gw = Work();
    if (gw && --gw->stageEndWait <= 0)
        LeaveFinishedStage();
}

void SceneGame::StoryOverlay() {
    SelectSubWeapon(Pressed());
    Tick();
    const GlobalWork* gw = Work();
    if (!gw || gw->stageFreeze == 0)
        UpdateStage();
    DrawStage();
}

void SceneGame::ChallengeEnd() {
    const uint32_t pressed = Pressed();
    SelectSubWeapon(pressed);
    Tick();
    DrawStage();
    if (challengeStep_ == 0) {
        challengeCounter_ = 0;
        challengeStep_ = 1;
    }
    if (challengeStep_ == 1) {
        ++challengeCounter_;
        const bool skip = challengeCounter_ >= 80 &&
                          (pressed & (InputManager::kShot | InputManager::kExWeapon)) != 0;
        if (skip || challengeCounter_ >= 1201) {
            challengeStep_ = 2;
            if (SoundManager* sound = Sound())
                sound->ReleaseStream(&musicSlot_);
            StartFadeUp(kLeaveFadeFrames);
        }
        return;
    }
    SceneDriver* driver = Driver();
    if (!driver || driver->IsFading())
        return;
    driver->EndAllScenes();
    if (!PushRankingIfPlaced())
        driver->CreateScene<SceneSelectGameMenu>();
}

void SceneGame::Overlay(uint32_t slot, float u, float v, float tw, float th, float x, float y,
                        float w, float h, bool additive, int32_t alpha) {
    SpriteRenderer* hud = Hud();
    if (!hud || slot >= kTextureCount)
        return;
    // At the overlays' own priority, and back: the stage's heads-up display
    // and the screens after this one draw at the layer's.
    hud->SetPriority(DrawOrder::kStageOverlay);
    hud->SetBlend(additive ? SpriteRenderer::kBlendAdd : SpriteRenderer::kBlendAlpha);
    hud->SetTexture(textures_[slot]);
    hud->SetColor(0, HudSprite::Colour(static_cast<uint8_t>(alpha), 255, 255, 255));
    HudSprite::Texels(hud, u, v, tw, th, x, y, w, h);
    hud->SetPriority(DrawOrder::kHud);
}
