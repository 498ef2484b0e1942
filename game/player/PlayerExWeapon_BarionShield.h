// The Barion shield an automatic shield raises where the ship is (it does
// not follow the ship): it grows for 40 frames, then widens and fades for
// 80 more, turning slowly, and scatters a spark every third frame. While its
// hit shape is on (its first 80 frames) it registers, every hit-interval
// frames (row offset 116; its first update always), a square of 320 times
// its scale in the strong weapons' group: enemies and map objects in it take
// the row's shield attack (offset 108) in the Barion shield's weapon family,
// and every enemy shot it touches then is erased with an EnemyShotDelete.
// The ship keeps it in `Player::shield` while it lives and takes no hit.
#pragma once

#include "game/core/tables/ShipParamRow.h"
#include "game/player/PlayerShotBase.h"

#include <cstdint>

class Player;

class PlayerExWeapon_BarionShield : public PlayerShotBase {
public:
    enum Phase : uint32_t { kGrowing = 0, kFading = 1 };
    static constexpr int16_t kGrowFrames = 40;
    static constexpr int16_t kFadeFrames = 80;
    // Into the fading phase, the frame the hit shape goes off.
    static constexpr int16_t kHarmlessFrom = 40;
    static constexpr int16_t kSparkEvery = 3;
    static constexpr float kBoxPerScale = 320.0f;
    static constexpr float kSize = 400.0f;

    PlayerExWeapon_BarionShield(GameObjectDirector* owner, Player* player, const ShipParamRow* row);

    void Update() override;
    void Draw() override;
    void OnCollision(GameObject* other) override;
    uint32_t GetCollisionGroup() const override;
    int16_t GetAttackPower() const override { return row_ ? row_->shieldAttack : 0; }
    uint32_t GetWeaponFamily() const override { return kFamilyBarionShield; }

    uint32_t GetPhase() const { return phase_; }
    int16_t GetPhaseCounter() const { return phaseCounter_; }
    uint8_t GetAlpha() const { return alpha_; }

protected:
    Player* player_;
    const ShipParamRow* row_;

private:
    int16_t HitInterval() const { return row_ ? row_->shieldHitInterval : 0; }

    int16_t phaseCounter_ = 0;
    int16_t hitCounter_ = 0;
    int16_t sparkCounter_ = 0;
    uint8_t alpha_ = 255;
    uint32_t phase_ = kGrowing;
};
