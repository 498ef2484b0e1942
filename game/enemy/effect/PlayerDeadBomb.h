// The ship's death explosion: 75 updates of "ef_pc_baku1.dds" and
// "ef_pc_baku2.dds" at twice their size on "Player", a screen flash and
// zoom while it grows, and once, on its 30th update, a 300 by 300 box that
// hits every enemy and map object in it with the ship's death attack.
#pragma once

#include "engine/common/Vector2.h"
#include "game/enemy/effect/PlayerExplosionSchedule.h"
#include "game/player/PlayerShotBase.h"

#include <cstdint>

class PlayerDeadBomb : public PlayerShotBase {
public:
    static constexpr int16_t kHitUpdate = 30;
    static constexpr int16_t kHitSize = 300;
    static constexpr float kCell = 256.0f;

    PlayerDeadBomb(GameObjectDirector* owner, const Mireku::Common::Vector2& position,
                   uint16_t attack);

    void Update() override;
    void Draw() override;
    // The box hits; the bomb itself takes nothing from it.
    void OnCollision(GameObject*) override {}
    uint32_t GetCollisionGroup() const override { return 3; }
    int16_t GetAttackPower() const override { return static_cast<int16_t>(attack_); }
    uint32_t GetWeaponFamily() const override { return kFamilyShot; }

    int16_t GetFrame() const { return schedule_.GetFrame(); }

private:
    PlayerExplosionSchedule schedule_;
    int16_t hitTimer_ = 0;
    uint16_t attack_;
};
