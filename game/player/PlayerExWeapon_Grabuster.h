// The Grabuster field the ship carries in its Grabuster state. Only what
// the ship and the enemies read of it is here: its row, its weapon family,
// its attack power and the finishing flag that the ship sets when the
// Hyperio gauge has run dry (the field then hits as a strong weapon). Its
// flight, hits and drawing, and its creation (CreateGrabuster, which makes
// nothing until then), come with the ex-weapons.
#pragma once

#include "game/core/tables/ShipParamRow.h"
#include "game/player/PlayerShotBase.h"

#include <cstdint>

class Player;

class PlayerExWeapon_Grabuster : public PlayerShotBase {
public:
    PlayerExWeapon_Grabuster(GameObjectDirector* owner, Player* player, const ShipParamRow* row)
        : PlayerShotBase(owner), player_(player), row_(row) {}

    // The drain is over: the field finishes as a strong weapon.
    void Finish() { finishing_ = 1; }
    bool IsFinishing() const { return finishing_ != 0; }

    uint32_t GetCollisionGroup() const override { return finishing_ ? 4 : 3; }
    int16_t GetAttackPower() const override { return row_ ? row_->grabusterAttack : 0; }
    uint32_t GetWeaponFamily() const override { return kFamilyGrabuster; }

protected:
    Player* player_;
    const ShipParamRow* row_;
    uint8_t finishing_ = 0;
};
