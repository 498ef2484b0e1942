#pragma once

#include "game/scene/FlowScene.h"
#include "game/scene/PresentGameOver.h"

#include <cstdint>

namespace Mireku::Graphics {
class Texture;
}

// After the twelfth stage of a game outside story mode: types "welcom to
// special dimension" on a black screen and asks "yes" or "no". Yes starts
// the second loop; no shows the game-over caption and ends the game towards
// the ranking or the title. Reaching it unlocks the second-loop start.
class SceneGotoNextLoop : public FlowScene, public PresentGameOver {
public:
    static constexpr const char* kLine = "welcom to special dimension";
    static constexpr int32_t kLineLength = 27;
    static constexpr int32_t kFramesPerCharacter = 8;
    static constexpr int32_t kPauseAfterLine = 60;
    static constexpr int32_t kPauseBeforeQuestion = 30;
    // The game-over caption leaves by itself when its frame counter reaches
    // this.
    static constexpr int32_t kCaptionFrames = 301;
    static constexpr int32_t kFadeInFrames = 60;
    static constexpr int32_t kFadeOutFrames = 30;
    static constexpr int32_t kSoundBack = 9;
    enum Step : int32_t {
        kTyping = 0,
        kLineShown = 1,
        kBeforeQuestion = 2,
        kOnNo = 3,
        kOnYes = 4,
        kCaptionFadeIn = 5,
        kCaption = 6,
    };

    SceneGotoNextLoop() : FlowScene(kFadeInFrames, false) {}

    void Update() override;
    void OnFadedOut();

    int32_t GetStep() const { return step_; }
    int32_t GetShown() const { return shown_; }
    bool GetAnswer() const { return answer_ != 0; }
    Mireku::Graphics::Texture* GetGlyphTexture() const { return glyphs_; }

protected:
    void OnBegin() override;
    void LoadResources(Mireku::Resource::ChildResourceLoader& loader) override;
    void ReleaseResources() override;

private:
    void StateDialogue();
    void RunStep();
    void Answer(bool yes);
    void LeaveDialogue();
    // The line and the question, or the game-over caption.
    void Draw() override;

    int32_t counter_ = 0;
    Mireku::Graphics::Texture* glyphs_ = nullptr;
    int32_t step_ = kTyping;
    int32_t shown_ = 0;
    uint8_t answer_ = 0;
};
