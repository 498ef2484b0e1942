// Sub weapon 1: a beam column fired 24 pixels above the ship that keeps to
// the ship's x as it rises at the row's head speed (offset 42), up to 1680
// pixels long, drawn from "subwp1_2.dds"; it shows its muzzle flash on the
// ship. Total attack at row offset 48, of which its side deals offset 50.
#pragma once

#include "game/player/SubWeaponBeamColumn.h"

class PlayerSubWeapon_SW001 : public SubWeaponBeamColumn {
public:
    static constexpr float kLengthCap = 1680.0f;

    PlayerSubWeapon_SW001(GameObjectDirector* owner, Player* player,
                          const Mireku::Common::Vector2& position, const ShipParamRow* row);
};
