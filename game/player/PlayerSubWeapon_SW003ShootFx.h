// The launch flash of sub weapon 3, "subwp3_shot1.dds" to "subwp3_shot6.dds".
#pragma once

#include "game/player/SubWeaponLaunchFlash.h"
#include "game/stage/StageTextureTable.h"

class PlayerSubWeapon_SW003ShootFx : public SubWeaponLaunchFlash {
public:
    PlayerSubWeapon_SW003ShootFx(GameObjectDirector* owner, const Mireku::Common::Vector2& position)
        : SubWeaponLaunchFlash(owner, position, StageTextureSlot::kSub3Launch) {}
};
