// The screen of one stage. It owns the stage's director (the root of the
// object tree) and runs it by the game's play state: play, the pause menu,
// the continue countdown, the game-over presentation, the stage end, a story
// over the stage and the end of a challenge. It draws its overlays (pause
// window, continue counter, game-over caption, demonstration caption) on
// the "HUD" layer and, when the stage is over, chooses the next screen.
//
// A director that could not be made (no pool block) is skipped wherever the
// screen would tick, update or draw it: the overlays and every way out still
// work.
#pragma once

#include "game/flow/LoadingScene.h"

#include <cstdint>

namespace Mireku::Graphics {
class Texture;
}
class GameObjectDirector;

class SceneGame : public LoadingScene {
public:
    // The screen's states: 0 loading, 1 loaded, 2 the fade-in starts, 3 the
    // stage runs, 4 finished.
    enum State : int32_t { kLoaded = 1, kStart = 2, kRunning = 3, kFinished = 4 };
    enum PauseStep : int32_t {
        kPauseOpening = 0,
        kPauseItems = 1,
        kPauseMenu = 2,
        kPauseClosing = 3,
        kPauseDialog = 4,
        kPauseDialogClosing = 5,
    };
    // The 32 pictures of "texture/game/common", in slot order.
    enum Texture : uint32_t {
        kCursorLeft,
        kCursorRight,
        kContinueBase1,
        kContinueBase2,
        kContinueText,
        kContinueDigits,
        kContinueDot,
        kGameOver1,
        kGameOver2,
        kGameOverNoise1,
        kGameOverNoise2,
        kGameOverNoise3,
        kPauseCursorAdd,
        kPauseNoise1,
        kPauseNoise2,
        kPauseNoise3,
        kPauseResume,
        kPauseYes,
        kPauseNo,
        kPauseRestart,
        kPauseRestartCautionEnglish,
        kPauseRestartCautionJapanese,
        kPauseBack,
        kPauseWindowEffect,
        kPauseWindowAdd,
        kPauseWindow1,
        kPauseWindow2,
        kDialogWindowAdd,
        kDialogWindow1,
        kDialogWindow2,
        kDemonstration1,
        kDemonstration2,
        kTextureCount,
    };
    static constexpr const char* kFolder = "texture/game/common";
    static constexpr const char* kTextureNames[kTextureCount] = {
        "cursor_ani_left.dds",
        "cursor_ani_right.dds",
        "cont_base1.dds",
        "cont_base2.dds",
        "cont_moji.dds",
        "cont_suuji.dds",
        "cont_dot.dds",
        "gameover_ani1.dds",
        "gameover_ani2.dds",
        "gameover_noise_ani1.dds",
        "gameover_noise_ani2.dds",
        "gameover_noise_ani3.dds",
        "pause_cursor_add.dds",
        "pause_moji_noise_ani1.dds",
        "pause_moji_noise_ani2.dds",
        "pause_moji_noise_ani3.dds",
        "pause_moji1_resume.dds",
        "pause_moji1_yes.dds",
        "pause_moji2_no.dds",
        "pause_moji2_restart.dds",
        "pause_moji2_restart_caution_eng.dds",
        "pause_moji2_restart_caution_jap.dds",
        "pause_moji3_back.dds",
        "pause_window_ef.dds",
        "pause_window1_add.dds",
        "pause_window1_ani1.dds",
        "pause_window1_ani2.dds",
        "pause_window2_add.dds",
        "pause_window2_ani1.dds",
        "pause_window2_ani2.dds",
        "demonstration_01.dds",
        "demonstration_02.dds",
    };
    static constexpr const char* kMusicFolder = "sound/bgm";
    static constexpr const char* kGameOverMusic = "gameover.ogg";
    static constexpr int32_t kFadeInFrames = 10;
    static constexpr int32_t kDemoFrames = 3600;
    static constexpr int32_t kStageEndFrames = 90;
    static constexpr int32_t kDarkeningFrames = 120;

    // Keeps the progress as it is now: the ending shows what this game
    // unlocked.
    SceneGame();

    void Begin() override;
    void Update() override;

    // The pause window (pictures, items, cursor) scaled about its centre by
    // (sx, sy); `dialog` draws the yes/no form; a cursor below 0 draws none.
    void DrawPauseWindow(bool items, int32_t cursor, bool dialog, float sx, float sy);
    // The reveal noise over menu row `row`, picture `phase` (0-2).
    void DrawItemNoise(int32_t row, int32_t phase);
    // The attract demo's way out: the input lock lowered, every screen ended
    // and the title next.
    void OnDemoFadedOut();

    GameObjectDirector* GetDirector() const { return director_; }
    int32_t GetPauseStep() const { return pauseStep_; }
    int32_t GetPauseCounter() const { return pauseCounter_; }
    int32_t GetPauseCursor() const { return pauseCursor_; }
    int32_t GetGameOverStep() const { return gameOverStep_; }
    int32_t GetGameOverCounter() const { return gameOverCounter_; }
    int32_t GetDarkening() const { return darkening_; }
    int32_t GetMusicSlot() const { return musicSlot_; }
    int32_t GetDemoCountdown() const { return demoCountdown_; }
    int32_t GetChallengeStep() const { return challengeStep_; }
    int32_t GetChallengeCounter() const { return challengeCounter_; }
    Mireku::Graphics::Texture* GetTexture(uint32_t slot) const {
        return slot < kTextureCount ? textures_[slot] : nullptr;
    }

protected:
    void LoadResources(Mireku::Resource::ChildResourceLoader& loader) override;
    // Textures, the music and the director with its whole tree.
    void ReleaseResources() override;

private:
    using Handler = void (SceneGame::*)();

    void StateNothing() {}
    void StateLoaded() { SetState(kStart); }
    void StateStart();
    void StateRunning();
    void StateFinished() { Finish(); }

    void Play();
    void Pause();
    void ContinueCountdown();
    void GameOver();
    void StageEnd();
    void StoryOverlay();
    void ChallengeEnd();

    void PauseMenu(uint32_t pressed);
    void PauseDialog(uint32_t pressed);
    // The demonstration caption and its countdown.
    void DrawDemonstration();
    void DrawContinue(float seconds);
    void DrawGameOverCaption(bool noise);
    // The attract demo leaves by a 15-frame fade to black (once).
    void LeaveDemo();
    // The stage's tree: collision pass and reaping, update, drawing; each
    // skipped without a director.
    void Tick();
    void UpdateStage();
    void DrawStage();
    // The director's sub-weapon change on its button.
    void SelectSubWeapon(uint32_t pressed);
    // A texture on the "HUD" layer: texel rectangle (u, v, tw, th) over the
    // screen rectangle (x, y, w, h), alpha or additive, white at `alpha`.
    void Overlay(uint32_t slot, float u, float v, float tw, float th, float x, float y, float w,
                 float h, bool additive = false, int32_t alpha = 255);

    int32_t pauseStep_ = 0;
    int32_t pauseCounter_ = 0;
    int32_t pauseCursor_ = 0;
    int32_t gameOverStep_ = 0;
    int32_t gameOverCounter_ = 0;
    int32_t darkening_ = 0;
    GameObjectDirector* director_ = nullptr;
    Mireku::Graphics::Texture* textures_[kTextureCount] = {};
    int32_t musicSlot_ = -1;
    uint8_t musicStarted_ = 0;
    uint8_t demoLeaving_ = 0;
    int32_t demoCountdown_ = 0;
    int32_t challengeCounter_ = 0;
    int32_t challengeStep_ = 0;
};
