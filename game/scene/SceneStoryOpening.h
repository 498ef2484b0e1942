#pragma once

#include "game/scene/StoryPictureScene.h"

#include <cstdint>

// The opening of a story game, after the pilot is chosen: five pictures and
// the pilot's name picture in turn, fading through black, then the opening's
// lines rolling up with their voices over the last pictures, a black-out,
// and the first stage with the story between stages over it. Cancel skips
// to the black-out once the lines roll.
class SceneStoryOpening : public StoryPictureScene {
public:
    static constexpr int32_t kPictureCount = 6;
    static constexpr int32_t kFadeInFrames = 30;
    static constexpr const char* kMusic = "vam_022.ogg";
    // Sub-states 1-12 show the first five pictures; then:
    static constexpr uint32_t kRoll = 13;      // the lines roll over the fifth
    static constexpr uint32_t kCrossFade = 14; // the sixth picture comes in
    static constexpr uint32_t kRollEnd = 15;   // the roll runs out
    static constexpr uint32_t kWindowFrom = 12;

    // The pictures in their order, the pilot's name picture third.
    static void PictureNames(int32_t pilot, char (&names)[kPictureCount][32]);

    SceneStoryOpening() : StoryPictureScene(kFadeInFrames, kPictureCount) {}

protected:
    void OnBegin() override;
    void LoadResources(Mireku::Resource::ChildResourceLoader& loader) override;
    void StateShown() override;
    void Draw() override;
    void StateLeave() override { StartStage(); }
    // The pictures and the story's parts go, and so do the opening's
    // records: a later story whose script is missing finds none.
    void ReleaseResources() override;
};
