// A speck of sub weapon 5's hit spark, "subwp5_hit_tubu.dds".
#pragma once

#include "game/player/SubWeaponHitParticle.h"
#include "game/stage/StageTextureTable.h"

class PlayerSubWeapon_SW005HitTsubu : public SubWeaponHitParticle {
public:
    PlayerSubWeapon_SW005HitTsubu(GameObjectDirector* owner,
                                  const Mireku::Common::Vector2& position)
        : SubWeaponHitParticle(owner, position, StageTextureSlot::kSub5Particle) {}
};
