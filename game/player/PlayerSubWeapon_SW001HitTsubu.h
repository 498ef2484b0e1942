// A speck of sub weapon 1's hit spark, "subwp1_hit_tubu.dds".
#pragma once

#include "game/player/SubWeaponHitParticle.h"
#include "game/stage/StageTextureTable.h"

class PlayerSubWeapon_SW001HitTsubu : public SubWeaponHitParticle {
public:
    PlayerSubWeapon_SW001HitTsubu(GameObjectDirector* owner,
                                  const Mireku::Common::Vector2& position)
        : SubWeaponHitParticle(owner, position, StageTextureSlot::kSub1Particle) {}
};
