// Types 7-8: follows its path until the player is level with it (within two
// pixels), then stops, turns a quarter turn (type 7 from -pi/2 up to 0,
// type 8 from +pi/2 down to 0) in T / 2 frames, waits out the rest of T and
// dives straight down at its dive speed with a flame behind it.
#pragma once

#include "game/enemy/EnemyDefault.h"

#include <cstdint>

class EnemyS004 : public EnemyDefault {
public:
    enum State : uint32_t { kPath = 0, kTurn = 1, kDive = 3 };
    static constexpr int32_t kTurnSound = 70;
    static constexpr int32_t kFlameFrames = 5;
    static constexpr float kFlameOffset = 48.0f;

    EnemyS004(GameObjectDirector* owner, int32_t type, const Mireku::Common::Vector2& spawn);

    void Move() override;
    void Draw() override;

    uint32_t GetState() const { return state_; }
    int32_t GetTimer() const { return timer_; }
    int32_t GetFlame() const { return flame_; }
    float GetTurnAngle() const { return turnAngle_; }

private:
    // T of the row (frames the turn and the wait take together).
    int32_t TurnTime() const;

    uint32_t state_ = kPath;
    int32_t timer_ = 0;
    int32_t flame_ = 0;
    float turnAngle_ = 0.0f;
};
