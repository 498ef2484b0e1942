// The Grabuster field the ship carries in its Grabuster state: an invisible
// box of 180 by 180 pixels riding on the ship, registered every frame.
// Every enemy and map object in it takes the row's Grabuster attack (offset
// 38) each frame, in the Grabuster's weapon family, and shows a burst with
// the Grabuster's hit sound. Enemy shots pass through it until the ship
// sets its finishing flag at the end of the drain; from then on it hits in
// the strong weapons' group, which also meets enemy shots (they turn into
// Grabuster items). The ship vanishes it after the wind-down.
#pragma once

#include "game/core/tables/ShipParamRow.h"
#include "game/player/PlayerShotBase.h"
#include "game/stage/CollisionGroups.h"

#include <cstdint>

class Player;

class PlayerExWeapon_Grabuster : public PlayerShotBase {
public:
    static constexpr int16_t kSize = 180;
    static constexpr int32_t kHitSound = 32;

    PlayerExWeapon_Grabuster(GameObjectDirector* owner, Player* player, const ShipParamRow* row);

    void Update() override;
    // Nothing is drawn: the ship draws its aura.
    void Draw() override {}
    // Any partner: a burst on it and the hit sound.
    void OnCollision(GameObject* other) override;

    // The drain is over: the field finishes as a strong weapon.
    void Finish() { finishing_ = 1; }
    bool IsFinishing() const { return finishing_ != 0; }

    uint32_t GetCollisionGroup() const override {
        return finishing_ ? CollisionGroups::kStrongWeapons : CollisionGroups::kPlayerShots;
    }
    int16_t GetAttackPower() const override { return row_ ? row_->grabusterAttack : 0; }
    uint32_t GetWeaponFamily() const override { return kFamilyGrabuster; }

protected:
    Player* player_;
    const ShipParamRow* row_;
    uint8_t finishing_ = 0;
};
