// Sub weapon 3's explosion: "subwp3_1.dds" and "subwp3_2.dds" on
// "PlayerShot_Blend", row offset 72.
#pragma once

#include "game/player/SubWeaponExplosion.h"
#include "game/stage/StageTextureTable.h"

class PlayerSubWeapon_SW003Hit : public SubWeaponExplosion {
public:
    PlayerSubWeapon_SW003Hit(GameObjectDirector* owner, Player* player,
                             const Mireku::Common::Vector2& position, const ShipParamRow* row)
        : SubWeaponExplosion(owner, player, position, row, kTraits) {}

private:
    static int16_t Attack(const ShipParamRow& row) { return row.sub3Attack; }
    static constexpr Traits kTraits{SpriteLayer::kPlayerShotBlend, StageTextureSlot::kSub3Explosion,
                                    &Attack};
};
