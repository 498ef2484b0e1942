// The side of sub weapon 5's beam column: row offset 96, sparks of its own.
#pragma once

#include "game/player/PlayerSubWeapon_SW005HitFx.h"
#include "game/player/SubWeaponBeamSide.h"

class PlayerSubWeapon_SW005Side : public SubWeaponBeamSide {
public:
    PlayerSubWeapon_SW005Side(GameObjectDirector* owner, const ShipParamRow* row)
        : SubWeaponBeamSide(owner, row, row ? row->sub5Attack[1] : int16_t{0}, &Spark) {}

private:
    static void Spark(GameObjectDirector* owner, const Mireku::Common::Vector2& at) {
        GameObject::Create<PlayerSubWeapon_SW005HitFx>(owner, owner, at);
    }
};
