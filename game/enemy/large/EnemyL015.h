// Type 75, and the base of a few small families: flies straight at the place
// where the player was when it appeared, at one of three row speeds picked
// from the play stream, and goes once its body has left the field.
#pragma once

#include "game/enemy/EnemyDefault.h"

#include <cstdint>

class EnemyL015 : public EnemyDefault {
public:
    static constexpr int32_t kType = 75;
    static constexpr int32_t kFlying = 3;
    static constexpr int32_t kDeathSound = 77;

    EnemyL015(GameObjectDirector* owner, int32_t type, const Mireku::Common::Vector2& spawn);

    void Move() override;
    void PlayDeathSound() override;

    float GetHeading() const { return heading_; }
    int32_t GetState() const { return state_; }

protected:
    // One of the row's three speeds (208, 210, 212) from the play stream.
    void PickSpeed();

    float heading_ = 0.0f;
    int32_t state_ = kFlying;
};
