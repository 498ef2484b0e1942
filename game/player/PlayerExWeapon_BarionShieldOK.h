// The sign that a shield charge is ready, made when the Barion gauge passes
// one of its shield steps: a ring and two crossed bars ride on the ship for
// 45 frames, growing in three phases while the bars flatten and turn over
// and the ring fades at the end. No collision.
#pragma once

#include "game/core/GameObject.h"

#include <cstdint>

class Player;

class PlayerExWeapon_BarionShieldOK : public GameObject {
public:
    static constexpr int16_t kPhaseFrames[3] = {15, 20, 10};
    static constexpr float kRing = 208.0f;
    static constexpr float kCross = 180.0f;

    // The ship outlives the sign.
    PlayerExWeapon_BarionShieldOK(GameObjectDirector* owner, Player* player);

    void Update() override;
    void Draw() override;

    uint32_t GetPhase() const { return phase_; }
    float GetSpin() const { return spin_; }
    uint8_t GetAlpha() const { return alpha_; }

private:
    Player* player_;
    float spin_ = 1.0f;
    int16_t counter_ = 0;
    uint8_t alpha_ = 255;
    uint32_t phase_ = 0;
};
