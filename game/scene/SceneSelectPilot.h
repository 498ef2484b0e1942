#pragma once

#include "game/scene/FlowScene.h"

#include <cstdint>

namespace Mireku::Graphics {
class Texture;
}

// The pilot select after a game type was chosen: one of the unlocked pilots,
// then a difficulty (arcade, story) or a challenge option and its time in a
// panel that slides open. The choice fades to the first stage or the story
// opening; the ex-weapon button backs out step by step to the game menu.
class SceneSelectPilot : public FlowScene {
public:
    static constexpr uint32_t kPilotCount = 6;
    static constexpr uint32_t kTextureCount = 23;
    enum Texture : uint32_t {
        kInfoBar = 0,
        kBackground1 = 1,
        kBackground2 = 2,
        kFirstBust = 3,
        kFirstPicture = 9,
        kParts1 = 15,
        kDifficultyPanel = 16,
        kPanelUnused2 = 17,
        kTimePanel = 18,
        kTimeTitle = 19,
        kChallengePanel = 20,
        kPanelUnused4 = 21,
        kChallengeTitle = 22,
    };
    struct TextureFile {
        const char* folder;
        const char* name;
    };
    static const TextureFile kTextures[kTextureCount];
    static constexpr const char* kMusic = "select.ogg";

    enum Panel : int32_t {
        kGrid = 4,
        kChallengeOption = 8,
        kChallengeTime = 9,
    };
    static constexpr int32_t kDifficultyRows = 3;
    static constexpr int32_t kTimeRows = 2;
    static constexpr int32_t kFlashFrames = 20;
    static constexpr int32_t kFadeInFrames = 30;
    static constexpr int32_t kFadeOutFrames = 60;
    // A panel row takes this many frames to arrive, each row this many after
    // the one before it.
    static constexpr int32_t kRowSlideFrames = 20;
    static constexpr int32_t kRowDelay = 3;
    static constexpr int32_t kSoundMove = 5;
    static constexpr int32_t kSoundChoose = 6;
    // The pilot's voice on choosing: one of lines 1 to 3.
    static constexpr int32_t kFirstChoiceVoice = 1;
    static constexpr uint32_t kChoiceVoices = 3;
    // Game modes: difficulties 0 to 2, story ones 4 higher, the two
    // challenge times 8 and 9; the second-loop start is an ordinary game.
    static constexpr uint32_t kStoryModeOffset = 4;
    static constexpr uint32_t kChallengeTimeMode = 8;
    static constexpr uint32_t kSecondLoopType = 3;
    static constexpr uint32_t kSecondLoopMode = 1;
    static constexpr uint32_t kSecondLoopStage = 12;
    static constexpr uint32_t kChallengeType = 5;
    static constexpr uint32_t kSubWeaponCount = 5;

    SceneSelectPilot() : FlowScene(kFadeInFrames, true) {}

    void Update() override;
    // Completion of both fades: the fade-in opens the grid, the fade-out
    // leaves.
    void OnFadeDone();

    // Whether pilot 0-5 is unlocked in the progress data.
    static bool IsUnlocked(const uint8_t* progress, int32_t pilot);

    int32_t GetPilot() const { return pilot_; }
    int32_t GetOptionCursor() const { return option_; }
    int32_t GetPanelTimer() const { return panelTimer_; }
    int32_t GetPanelKind() const { return panelKind_; }
    int32_t GetCursorFlash() const { return flash_; }
    bool IsCancelled() const { return cancelled_ != 0; }
    Mireku::Graphics::Texture* GetTexture(uint32_t slot) const {
        return slot < kTextureCount ? textures_[slot] : nullptr;
    }

protected:
    void OnBegin() override;
    void LoadResources(Mireku::Resource::ChildResourceLoader& loader) override;
    void ReleaseResources() override;
    // The whole screen, in every state but 0 and 11.
    void Draw() override;

private:
    void StateAwaitMusic();
    void StateOpen();
    void StateDraw() { Draw(); }
    void StateGrid();
    void StatePanelOpening();
    void StatePanelClosing();
    void StateDifficulty();
    void StateChallengeOption();
    void StateChallengeTime();
    void StateFadeOut();
    void StateLeave() override;

    // The next unlocked pilot from the cursor in `step` direction; the
    // cursor itself when no other is unlocked.
    int32_t StepPilot(int32_t step) const;
    void ClosePanel(int32_t next);
    void MoveOption(int32_t cursor);
    // State 10: the fade out, the music released.
    void FadeOut();
    // The final choice of a game: the fade out and what every game starts
    // with.
    void Choose();
    void CountFlashDown();
    int32_t ChallengeOptionRows() const;

    void DrawGrid(bool story);
    void DrawPanel();
    void DrawOptionRow(int32_t row, bool challenge, float slide);

    Mireku::Graphics::Texture* textures_[kTextureCount] = {};
    int32_t frame_ = 0;
    int32_t panelTimer_ = 0;
    int32_t pilot_ = 0;
    int32_t option_ = 1;
    int32_t optionCount_ = kDifficultyRows;
    int32_t flash_ = 0;
    uint8_t cancelled_ = 0;
    uint8_t challenge_ = 0;
    int32_t panelKind_ = kGrid;
    int32_t nextState_ = kGrid;
};
