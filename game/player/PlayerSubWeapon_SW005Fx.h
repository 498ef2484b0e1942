// The muzzle flash of sub weapon 5's beam column, "subwp5_1.dds".
#pragma once

#include "game/player/SubWeaponMuzzleFlash.h"
#include "game/stage/StageTextureTable.h"

class PlayerSubWeapon_SW005Fx : public SubWeaponMuzzleFlash {
public:
    PlayerSubWeapon_SW005Fx(GameObjectDirector* owner, GameObject* anchor)
        : SubWeaponMuzzleFlash(owner, anchor, StageTextureSlot::kSub5Flash) {}
};
