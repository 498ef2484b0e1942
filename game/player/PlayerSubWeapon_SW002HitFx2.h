// The hit spark of sub weapon 2, "subwp2_hit.dds", with its specks.
#pragma once

#include "game/player/PlayerSubWeapon_SW002HitTsubu.h"
#include "game/player/SubWeaponHitSpark.h"
#include "game/stage/StageTextureTable.h"

class PlayerSubWeapon_SW002HitFx2 : public SubWeaponHitSpark {
public:
    PlayerSubWeapon_SW002HitFx2(GameObjectDirector* owner, const Mireku::Common::Vector2& position)
        : SubWeaponHitSpark(owner, position, StageTextureSlot::kSub2Spark, &Speck) {}

private:
    static void Speck(GameObjectDirector* owner, const Mireku::Common::Vector2& at) {
        GameObject::Create<PlayerSubWeapon_SW002HitTsubu>(owner, owner, at);
    }
};
