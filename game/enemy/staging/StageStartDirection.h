// The ship's fly-in at the start of a stage: with the input held, the ship
// rises from below the field (y 820) to y 536 in 60 frames on a quartic
// ease while the director's staging scale shrinks from 10 to 1; then the
// input is released and the ship stays invincible for 150 more frames.
#pragma once

#include "game/core/GameObject.h"

#include <cstdint>

class StageStartDirection : public GameObject {
public:
    static constexpr int16_t kFrames = 60;
    static constexpr float kRestY = 536.0f;
    static constexpr float kRise = 284.0f; // from y 820
    static constexpr float kScaleRise = 9.0f;
    static constexpr int16_t kAfterInvincibility = 150;
    static constexpr int32_t kSound = 11;

    explicit StageStartDirection(GameObjectDirector* owner);

    void Update() override;

    int16_t GetCounter() const { return counter_; }

private:
    int16_t counter_ = 0;
};
