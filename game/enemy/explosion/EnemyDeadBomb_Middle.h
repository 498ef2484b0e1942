// The explosion of a middle-size enemy: six bursts of three small explosions
// that wander from its centre, a last explosion and a shock-wave ring that
// grows and fades over 30 frames. Its own position stays (0, 0); the centre
// is kept apart. All its numbers are cosmetic draws from stream 0.
#pragma once

#include "engine/common/Vector2.h"
#include "game/core/GameObject.h"

#include <cstdint>

class EnemyDeadBomb_Middle : public GameObject {
public:
    enum State : int32_t { kBursting = 0, kRing = 1, kDone = 2 };
    static constexpr int32_t kBursts = 5; // bursts left after the first
    static constexpr int32_t kExplosionsPerBurst = 3;
    static constexpr float kStep = 96.0f;
    static constexpr int32_t kBurstSound = 48;
    static constexpr int32_t kFinalSound = 49;
    static constexpr int32_t kRingFrames = 30;

    EnemyDeadBomb_Middle(GameObjectDirector* owner, const Mireku::Common::Vector2& position);

    void Update() override;
    void Draw() override;

    int32_t GetState() const { return state_; }
    int32_t GetBurstsLeft() const { return burstsLeft_; }
    int32_t GetCountdown() const { return countdown_; }
    float GetRingScale() const { return ringScale_; }
    float GetRingOpacity() const { return ringOpacity_; }
    const Mireku::Common::Vector2& GetCentre() const { return centre_; }

private:
    void Burst();

    Mireku::Common::Vector2 centre_;
    int32_t state_ = kBursting;
    int32_t burstsLeft_ = kBursts;
    int32_t countdown_ = 0;
    float ringScale_ = 0.0f;
    float ringOpacity_ = 0.0f;
};
