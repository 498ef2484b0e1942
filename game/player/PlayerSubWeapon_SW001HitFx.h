// The hit spark of sub weapon 1, "subwp1_hit.dds", with its specks.
#pragma once

#include "game/player/PlayerSubWeapon_SW001HitTsubu.h"
#include "game/player/SubWeaponHitSpark.h"
#include "game/stage/StageTextureTable.h"

class PlayerSubWeapon_SW001HitFx : public SubWeaponHitSpark {
public:
    PlayerSubWeapon_SW001HitFx(GameObjectDirector* owner, const Mireku::Common::Vector2& position)
        : SubWeaponHitSpark(owner, position, StageTextureSlot::kSub1Spark, &Speck) {}

private:
    static void Speck(GameObjectDirector* owner, const Mireku::Common::Vector2& at) {
        GameObject::Create<PlayerSubWeapon_SW001HitTsubu>(owner, owner, at);
    }
};
