// The end of a stage: with the input held and the ship invincible, the ship
// (after most stages) flies out through the top of the field from frame 60
// on under the director's flash, leaving rings behind; at frame 180 the
// screen fades to black (90 frames, 300 in story mode), the game state
// becomes "stage cleared" and, outside story mode, the replay recording
// ends. It lives until the game screen ends the stage.
#pragma once

#include "game/core/GameObject.h"

#include <cstdint>

class StageClearDirection : public GameObject {
public:
    static constexpr int32_t kFlyOutFrom = 60;
    static constexpr int32_t kFadeAt = 180;
    static constexpr int32_t kRingEvery = 20;
    static constexpr float kFlyOutStep = 15.0f;
    static constexpr float kFlashTarget = 0.9f;
    static constexpr float kFlashZoom = 1.0f;
    static constexpr int32_t kFadeFrames = 90;
    static constexpr int32_t kStoryFadeFrames = 300;
    static constexpr int32_t kFlyOutSound = 11;
    static constexpr int32_t kFirstVoice = 25; // 25-27
    static constexpr uint32_t kLastStageOfLoop = 11;

    // `flyOut`: the ship leaves through the top (not after every third stage).
    StageClearDirection(GameObjectDirector* owner, bool flyOut);

    void Update() override;

    bool FliesOut() const { return flyOut_ != 0; }
    int32_t GetCounter() const { return counter_; }

private:
    uint8_t flyOut_;
    int32_t counter_ = 0;
};
