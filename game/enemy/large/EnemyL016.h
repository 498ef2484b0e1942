// Type 76: stalks the player in bursts, a row length at a time with a pause
// between them, swelling with the damage it takes; a hit holds it for the
// frame and shows its hit frame. Its life time sends it off the bottom;
// destroyed, it plays its death frames before it goes.
#pragma once

#include "game/enemy/EnemyDefault.h"

#include <cstdint>

class EnemyL016 : public EnemyDefault {
public:
    static constexpr int32_t kType = 76;
    enum State : int32_t { kBurst = 0, kPause = 1, kLeave = 4, kDeathStart = 5, kDying = 6 };
    static constexpr uint8_t kDeathFrame = 5;
    static constexpr uint8_t kHitFrame = 4;
    static constexpr int32_t kHitSound = 78;
    static constexpr int32_t kDeathSound = 79;

    EnemyL016(GameObjectDirector* owner, int32_t type, const Mireku::Common::Vector2& spawn);

    void Move() override;
    void Animate() override;
    void Draw() override;
    void PlayHitSound() override;
    void PlayDeathSound() override;
    // A kill starts the death frames instead of the countdown.
    void Vanish() override;

    // 1 + damage / (health x 0.7) x (largest - 1), at most the largest scale.
    float SwellScale() const;

    int32_t GetState() const { return state_; }
    float GetHeading() const { return heading_; }
    int32_t GetLifeTimer() const { return lifeTimer_; }
    int32_t GetPauseTimer() const { return pauseTimer_; }
    const Mireku::Common::Vector2& GetTravelled() const { return travelled_; }
    bool WasHitThisFrame() const { return hitThisFrame_ != 0; }

private:
    float heading_ = 0.0f;
    int32_t state_ = kBurst;
    int32_t lifeTimer_ = 0;
    int32_t pauseTimer_ = 0;
    Mireku::Common::Vector2 travelled_;
    int32_t lastDamage_ = 0;
    uint8_t hitThisFrame_ = 0;
};
