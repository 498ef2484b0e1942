// Sub weapon 4's explosion: "subwp4_1.dds" and "subwp4_2.dds" on
// "PlayerShot_Add", row offset 84.
#pragma once

#include "game/player/SubWeaponExplosion.h"
#include "game/stage/StageTextureTable.h"

class PlayerSubWeapon_SW004Hit : public SubWeaponExplosion {
public:
    PlayerSubWeapon_SW004Hit(GameObjectDirector* owner, Player* player,
                             const Mireku::Common::Vector2& position, const ShipParamRow* row)
        : SubWeaponExplosion(owner, player, position, row, kTraits) {}

private:
    static int16_t Attack(const ShipParamRow& row) { return row.sub4Attack[0]; }
    static constexpr Traits kTraits{SpriteLayer::kPlayerShotAdd, StageTextureSlot::kSub4Explosion,
                                    &Attack};
};
