// A line of the stage's title caption (a, b or c), made at stage start for
// each caption picture that loaded: after its delay it fades in over 10
// frames, holds for 60, breaks up through three noise pictures of 4 frames
// each and goes. The first line's break-up plays a sound. Lines keep their
// places whether or not the others exist.
#pragma once

#include "game/core/GameObject.h"

#include <cstdint>

class StageTelop : public GameObject {
public:
    enum State : uint32_t { kDelay = 0, kFadeIn = 1, kHold = 2, kBreakUp = 3 };
    static constexpr int32_t kFadeFrames = 10;
    static constexpr int32_t kHoldFrames = 60;
    static constexpr int32_t kNoiseFrames = 4;
    static constexpr int32_t kNoiseImages = 3;
    static constexpr int32_t kBreakUpSound = 10;
    static constexpr int32_t kFirstCaption = 165;
    static constexpr int32_t kFirstNoise = 156;

    StageTelop(GameObjectDirector* owner, uint32_t line, int32_t delay);

    void Update() override;
    // On "EtcOver": alpha in the fade-in and hold, additive noise in the
    // break-up; nothing while waiting.
    void Draw() override;

    // The line's rectangle on the field: left 10, top 688 - (2 - line) x 28,
    // 136 wide for line 0 and 288 for the others, 24 high.
    static void LineRect(uint32_t line, float* x, float* y, float* w, float* h);

    uint32_t GetState() const { return state_; }
    uint32_t GetLine() const { return line_; }
    int32_t GetCounter() const { return counter_; }

private:
    uint32_t state_ = kDelay;
    uint32_t line_;
    int32_t counter_;
};
