// Types 16-17: flies at the player, halts once it has come its approach
// distance inside the field, waits its halt time and dashes on at its dash
// speed along the same line. It keeps the drawing angle it was given.
#pragma once

#include "game/enemy/EnemyDefault.h"

#include <cstdint>

class EnemyS009 : public EnemyDefault {
public:
    enum State : uint32_t { kApproach = 0, kHalt = 1, kDash = 3 };

    EnemyS009(GameObjectDirector* owner, int32_t type, const Mireku::Common::Vector2& spawn);

    void Move() override;
    void Rotate() override {}

    float GetHeading() const { return heading_; }
    uint32_t GetState() const { return state_; }
    int32_t GetTimer() const { return timer_; }
    float GetTravelled() const { return travelled_; }

private:
    float heading_ = 0.0f;
    uint32_t state_ = kApproach;
    int32_t timer_ = 0;
    float travelled_ = 0.0f;
};
