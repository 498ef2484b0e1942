// Type 21: falls; about ten frames before it reaches the player's height it
// turns a quarter turn in ten frames towards the player's side and dashes
// off sideways. Its emitters stay silent until its damage reaches the share
// of its health its row names; its additive overlay fades as it is damaged.
#pragma once

#include "game/enemy/EnemyDefault.h"

#include <cstdint>

class EnemyS012 : public EnemyDefault {
public:
    enum State : uint32_t { kFall = 0, kTurn = 2, kDash = 4 };
    static constexpr float kTurnStep = 0.15707964f; // 9 degrees
    static constexpr int32_t kTurnFrames = 10;
    static constexpr int32_t kDeathSound = 73;

    EnemyS012(GameObjectDirector* owner, int32_t type, const Mireku::Common::Vector2& spawn);

    void Move() override;
    void Rotate() override {}
    void Draw() override;
    void PlayDeathSound() override;

    uint32_t GetState() const { return state_; }
    float GetTurnAngle() const { return turnAngle_; }
    float GetTurnStep() const { return turnStep_; }
    int32_t GetCounter() const { return counter_; }

private:
    float turnAngle_ = 0.0f;
    float turnStep_ = 0.0f;
    uint32_t state_ = kFall;
    int32_t counter_ = 0;
};
