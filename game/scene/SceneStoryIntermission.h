#pragma once

#include "game/scene/StoryPictureScene.h"

#include <cstdint>

// After the 3rd, 6th and 9th stage of each loop in a story game: two
// pictures fading through black, the introduction of the stages to come
// rolling up with its voices, a black-out, and the next stage with the story
// between stages over it. It lets the stage-clear jingle play out before its
// own music starts; cancel skips to the black-out once the lines roll.
class SceneStoryIntermission : public StoryPictureScene {
public:
    static constexpr int32_t kPictureCount = 2;
    static constexpr int32_t kFadeInFrames = 60;
    // Sub-states 1-3 show the two pictures; then the lines roll.
    static constexpr uint32_t kRoll = 4;
    static constexpr uint32_t kWindowFrom = 3;

    // Pictures and music by (stage % 12) / 3: after the 3rd, 6th or 9th
    // stage of a loop.
    static const char* const* PictureNames(uint32_t stage);
    static const char* MusicName(uint32_t stage);

    // Takes the stage-clear jingle over from the stage, which ends in the
    // same frame and would otherwise cut it off.
    SceneStoryIntermission();
    // Releases the jingle when the screen goes before it has ended.
    ~SceneStoryIntermission() override;

    // Frame by frame, nothing runs while the jingle still loads or plays;
    // then the jingle is released and the screen's states run.
    void Update() override;

    // The jingle's slot while the screen waits for it, else -1.
    int32_t GetJingleSlot() const { return jingle_; }

protected:
    void OnBegin() override;
    void LoadResources(Mireku::Resource::ChildResourceLoader& loader) override;
    void StateShown() override;
    void Draw() override;
    // The next stage, one further on.
    void StateLeave() override;

private:
    // True while the jingle still loads or plays.
    bool IsJingleBusy();
    void ReleaseJingle();

    int32_t jingle_ = -1;
};
