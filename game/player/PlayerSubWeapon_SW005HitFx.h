// The hit spark of sub weapon 5, "subwp5_hit.dds", with its specks.
#pragma once

#include "game/player/PlayerSubWeapon_SW005HitTsubu.h"
#include "game/player/SubWeaponHitSpark.h"
#include "game/stage/StageTextureTable.h"

class PlayerSubWeapon_SW005HitFx : public SubWeaponHitSpark {
public:
    PlayerSubWeapon_SW005HitFx(GameObjectDirector* owner, const Mireku::Common::Vector2& position)
        : SubWeaponHitSpark(owner, position, StageTextureSlot::kSub5Spark, &Speck) {}

private:
    static void Speck(GameObjectDirector* owner, const Mireku::Common::Vector2& at) {
        GameObject::Create<PlayerSubWeapon_SW005HitTsubu>(owner, owner, at);
    }
};
