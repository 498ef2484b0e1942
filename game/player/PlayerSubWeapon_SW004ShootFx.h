// The launch flash of sub weapon 4, "subwp4_shot1.dds" to "subwp4_shot6.dds".
#pragma once

#include "game/player/SubWeaponLaunchFlash.h"
#include "game/stage/StageTextureTable.h"

class PlayerSubWeapon_SW004ShootFx : public SubWeaponLaunchFlash {
public:
    PlayerSubWeapon_SW004ShootFx(GameObjectDirector* owner, const Mireku::Common::Vector2& position)
        : SubWeaponLaunchFlash(owner, position, StageTextureSlot::kSub4Launch) {}
};
