// Type 77, and the base of type 78 and of a small family: comes in to a
// random point of the upper field, hovers there drifting for its row's time,
// then turns about and leaves at its leave speed.
#pragma once

#include "game/enemy/EnemyDefault.h"

#include <cstdint>

class EnemyL017 : public EnemyDefault {
public:
    static constexpr int32_t kType = 77;
    enum State : int32_t { kApproach = 0, kHover = 1, kLeave = 4 };
    static constexpr int32_t kDriftFrames = 10;
    static constexpr float kDriftSpeed = 0.5f;

    EnemyL017(GameObjectDirector* owner, int32_t type, const Mireku::Common::Vector2& spawn);

    void Move() override;

    int32_t GetState() const { return state_; }
    float GetHeading() const { return heading_; }
    int32_t GetHoverTimer() const { return hoverTimer_; }
    int32_t GetDriftTimer() const { return driftTimer_; }
    float GetDriftAngle() const { return driftAngle_; }
    float GetApproachDistance() const { return approachDistance_; }

protected:
    void NewDriftAngle();

    float heading_ = 0.0f;
    int32_t hoverTimer_ = 0;
    int32_t state_ = kApproach;
    int32_t driftTimer_ = 0;
    float driftAngle_ = 0.0f;
    float approachDistance_ = 0.0f;
};
