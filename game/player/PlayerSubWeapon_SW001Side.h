// The side of sub weapon 1's beam column: row offset 50, sparks of its own.
#pragma once

#include "game/player/PlayerSubWeapon_SW001HitFx.h"
#include "game/player/SubWeaponBeamSide.h"

class PlayerSubWeapon_SW001Side : public SubWeaponBeamSide {
public:
    PlayerSubWeapon_SW001Side(GameObjectDirector* owner, const ShipParamRow* row)
        : SubWeaponBeamSide(owner, row, row ? row->sub1Attack[1] : int16_t{0}, &Spark) {}

private:
    static void Spark(GameObjectDirector* owner, const Mireku::Common::Vector2& at) {
        GameObject::Create<PlayerSubWeapon_SW001HitFx>(owner, owner, at);
    }
};
