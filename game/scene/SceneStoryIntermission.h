#pragma once

#include "game/scene/StoryPictureScene.h"

#include <cstdint>

// After the 3rd, 6th and 9th stage of each loop in a story game: two
// pictures fading through black, the introduction of the stages to come
// rolling up with its voices, a black-out, and the next stage with the story
// between stages over it. It waits for the stage-clear jingle to end before
// it starts; cancel skips to the black-out once the lines roll.
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

    // Waits, yielding the processor, while the stage-clear jingle still
    // loads or plays.
    SceneStoryIntermission();

protected:
    void OnBegin() override;
    void LoadResources(Mireku::Resource::ChildResourceLoader& loader) override;
    void StateShown() override;
    void Draw() override;
    // The next stage, one further on.
    void StateLeave() override;
};
