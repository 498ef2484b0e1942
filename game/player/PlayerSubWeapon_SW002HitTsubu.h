// A speck of sub weapon 2's hit spark, "subwp2_hit_tubu.dds".
#pragma once

#include "game/player/SubWeaponHitParticle.h"
#include "game/stage/StageTextureTable.h"

class PlayerSubWeapon_SW002HitTsubu : public SubWeaponHitParticle {
public:
    PlayerSubWeapon_SW002HitTsubu(GameObjectDirector* owner,
                                  const Mireku::Common::Vector2& position)
        : SubWeaponHitParticle(owner, position, StageTextureSlot::kSub2Particle) {}
};
