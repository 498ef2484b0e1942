// The ship's return after a miss or a continue: with the input held, the
// ship waits 16 frames below the field, then swings in from the side to
// y 536 over 31 frames, shrinking to its size; then the input is released,
// the ship is no longer down and the enemy shots are erased. A blinking
// caption shows over the ship during the swing and for 120 frames after it.
#pragma once

#include "engine/common/Vector2.h"
#include "game/core/GameObject.h"

#include <cstdint>

class PlayerRebirthDirection : public GameObject {
public:
    enum Phase : uint16_t { kWait = 0, kSwing = 1, kShown = 2, kOver = 3 };
    static constexpr int16_t kWaitFrames = 15;
    static constexpr int16_t kSwingFrames = 30;
    static constexpr int16_t kShownFrames = 120;
    static constexpr float kStartY = 820.0f;
    static constexpr float kRestY = 536.0f;
    static constexpr float kRise = 284.0f;
    static constexpr float kScaleRise = 4.0f;
    static constexpr int32_t kBlinkFrames = 15;
    // The caption: a 176 by 96 cell of "sys_ui1.dds" at (0, 416), its corner
    // at the ship's screen position - (192, 80).
    static constexpr float kCaptionU = 0.0f;
    static constexpr float kCaptionV = 416.0f;
    static constexpr float kCaptionWidth = 176.0f;
    static constexpr float kCaptionHeight = 96.0f;
    static constexpr float kCaptionLeft = 192.0f;
    static constexpr float kCaptionUp = 80.0f;

    PlayerRebirthDirection(GameObjectDirector* owner, const Mireku::Common::Vector2& returnAt);

    void Update() override;
    void Draw() override;

    // Whether the caption shows in the current frame.
    bool IsCaptionShown() const;
    uint16_t GetPhase() const { return phase_; }
    int16_t GetPhaseTimer() const { return timer_; }
    int32_t GetFrames() const { return frames_; }

private:
    Mireku::Common::Vector2 return_;
    uint16_t phase_ = kWait;
    int16_t timer_ = 0;
    int32_t frames_ = 0;
};
