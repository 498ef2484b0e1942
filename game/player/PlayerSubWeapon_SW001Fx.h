// The muzzle flash of sub weapon 1's beam column, "subwp1_1.dds".
#pragma once

#include "game/player/SubWeaponMuzzleFlash.h"
#include "game/stage/StageTextureTable.h"

class PlayerSubWeapon_SW001Fx : public SubWeaponMuzzleFlash {
public:
    PlayerSubWeapon_SW001Fx(GameObjectDirector* owner, GameObject* anchor)
        : SubWeaponMuzzleFlash(owner, anchor, StageTextureSlot::kSub1Flash) {}
};
