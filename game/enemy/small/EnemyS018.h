// Types 31-33: flies at the player until it has come its approach distance
// inside the field, bobs up and down (16 pixels, a 72-frame period) for its
// bob time and 60 frames more, then leaves straight up from wherever the bob
// left it, and goes once it has left the field.
#pragma once

#include "game/enemy/EnemyDefault.h"

#include <cstdint>

class EnemyS018 : public EnemyDefault {
public:
    enum State : uint32_t { kApproach = 0, kBobOn = 1, kBob = 3, kLeave = 4 };
    static constexpr float kBobHeight = 16.0f;
    static constexpr float kBobStep = 0.08726647f; // 5 degrees
    static constexpr int32_t kBobOnFrames = 60;
    static constexpr float kUp = 4.712389f;
    static constexpr int32_t kAppearSound = 75;
    static constexpr int32_t kDeathSound = 76;

    EnemyS018(GameObjectDirector* owner, int32_t type, const Mireku::Common::Vector2& spawn);

    void Move() override;
    void Draw() override;
    void PlayDeathSound() override;

    float GetHeading() const { return heading_; }
    uint32_t GetState() const { return state_; }
    int32_t GetTimer() const { return timer_; }
    float GetBobPhase() const { return bobPhase_; }

private:
    float heading_ = 0.0f;
    uint32_t state_ = kApproach;
    int32_t timer_ = 0;
    float bobPhase_ = 0.0f;
};
