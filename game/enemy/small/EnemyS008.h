// Types 14-15, made as a ring by the factory's ring spawner: each warps in
// on a circle of radius 360 about the place where the player was, spirals
// in (turning by its row's spin) until the radius is spent, then flies
// straight out along its last angle and goes once it has left the field.
#pragma once

#include "game/enemy/EnemyDefault.h"

#include <cstdint>

class EnemyS008 : public EnemyDefault {
public:
    enum State : uint32_t { kWarpIn = 0, kSpiral = 3, kOut = 4 };
    static constexpr float kRadius = 360.0f;
    static constexpr int32_t kFirstWarpTexture = 80; // six pictures, 80-85
    static constexpr int32_t kAppearSound = 71;
    static constexpr int32_t kDeathSound = 72;

    EnemyS008(GameObjectDirector* owner, int32_t type, const Mireku::Common::Vector2& centre,
              float angle);

    void Move() override;
    void Draw() override;
    void PlayDeathSound() override;

    uint32_t GetState() const { return state_; }
    float GetRadius() const { return radius_; }
    float GetRingAngle() const { return ringAngle_; }
    int32_t GetWarpStep() const { return warpStep_; }
    int32_t GetWarpImage() const { return warpImage_; }

private:
    float radius_ = kRadius;
    float ringAngle_;
    uint32_t state_ = kWarpIn;
    int32_t warpStep_ = 0;
    // The table value the last move read (the picture number, 0 for none).
    int32_t warpImage_ = 0;
};
