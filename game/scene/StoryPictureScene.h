// What the opening and the intermissions share: full-screen pictures that
// fade through black from one to the next, the script's lines rolling up
// with their voices, a black-out at the end (or on cancel once the roll
// runs), then a fade to the first or next stage with the story over it.
#pragma once

#include "game/scene/FlowScene.h"
#include "game/scene/SceneStoryCommon.h"

#include <cstdint>

namespace Mireku::Graphics {
class Texture;
}

class StoryPictureScene : public FlowScene, public SceneStoryCommon {
public:
    static constexpr int32_t kMaxPictures = 7;
    // A picture stays 60 frames, then darkens and the next brightens over
    // 30 frames each; the black-out takes 120 frames.
    static constexpr int32_t kHoldFrames = 60;
    // The black-out starts this long after the roll's length.
    static constexpr int32_t kRollTailFrames = 60;
    static constexpr float kPictureStep = 1.0f / 30.0f;
    static constexpr float kBlackOutStep = 1.0f / 120.0f;
    static constexpr int32_t kFadeOutFrames = 30;
    static constexpr int32_t kCancelSound = 9;
    static constexpr int32_t kBlackOut = 0; // the sub-state of the black-out
    static constexpr const char* kPictureFolder = "script/texture";

    uint32_t GetSubState() const { return subState_; }
    int32_t GetCounter() const { return counter_; }
    int32_t GetPictureIndex() const { return pictureIndex_; }
    float GetBrightness() const { return brightness_; }
    float GetBlackOut() const { return blackOut_; }
    uint32_t GetRollLength() const { return rollLength_; }
    Mireku::Graphics::Texture* GetPicture(int32_t index) const {
        return index >= 0 && index < pictureCount_ ? pictures_[index] : nullptr;
    }

protected:
    StoryPictureScene(int32_t fadeInFrames, int32_t pictureCount)
        : FlowScene(fadeInFrames, true), pictureCount_(pictureCount) {}

    // The script of `kind`, the music, the roll length and the first picture
    // shown at full brightness while the screen fades in.
    void BeginStory(uint32_t kind, const char* music, uint32_t rollLength);
    // The script, the pictures by name, then the window parts and lines.
    void LoadStory(Mireku::Resource::ChildResourceLoader& loader, const char* const* names);
    void ReleaseResources() override;
    // The fade-in is over: the first picture's hold starts.
    void OnShown() override;

    // The steps the two screens share: the black-out (sub-state 0; at its
    // end the screen fades to the stage), and the picture cycles of
    // sub-states 1 to `lastCycle`: a picture held, darkened to the next, the
    // next brightened. True when the sub-state was one of these.
    bool StepShared(uint32_t lastCycle);
    // The roll's last stretch: the black-out starts a second after the
    // roll's length, counted from the roll's start.
    void StepRollEnd();
    // The black-out starts: the music fades out.
    void StartBlackOut();
    // Cancel from `firstSubState` on (not during the black-out): the
    // black-out starts at once, silencing the voice.
    void CheckCancel(uint32_t firstSubState);

    // The current picture at its own size, in `colour`.
    void DrawPicture(int32_t index, uint32_t colour) const;
    // The current picture fading through black by the brightness.
    void DrawCurrentPicture() const;
    // Over the pictures: the skip hint from `windowFrom`, the roll from
    // `rollFrom` (silent in the black-out) and the black-out's rectangle.
    void DrawOverPictures(uint32_t windowMode, uint32_t windowFrom, uint32_t rollFrom);

    // Leaves for the next stage with the story between stages over it.
    void StartStage();

    uint32_t subState_ = 1;
    int32_t counter_ = 0;
    int32_t pictureIndex_ = 0;
    float brightness_ = 1.0f;
    float blackOut_ = 0.0f;

private:
    Mireku::Graphics::Texture* pictures_[kMaxPictures] = {};
    int32_t pictureCount_;
    uint32_t rollLength_ = 0;
};
