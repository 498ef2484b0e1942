// The Barion shield an automatic shield raises around the ship. Only what
// the ship and the enemies read of it is here: its row, its weapon family,
// its attack power and its strong-weapon group; the ship keeps it in
// `Player::shield` while it lives and takes no hit meanwhile. Its life,
// hits and drawing, and its creation (CreateBarionShield, which makes
// nothing until then), come with the ex-weapons.
#pragma once

#include "game/core/tables/ShipParamRow.h"
#include "game/player/PlayerShotBase.h"

#include <cstdint>

class Player;

class PlayerExWeapon_BarionShield : public PlayerShotBase {
public:
    PlayerExWeapon_BarionShield(GameObjectDirector* owner, Player* player, const ShipParamRow* row)
        : PlayerShotBase(owner), player_(player), row_(row) {}

    uint32_t GetCollisionGroup() const override { return 4; }
    int16_t GetAttackPower() const override { return row_ ? row_->shieldAttack : 0; }
    uint32_t GetWeaponFamily() const override { return kFamilyBarionShield; }

protected:
    Player* player_;
    const ShipParamRow* row_;
};
