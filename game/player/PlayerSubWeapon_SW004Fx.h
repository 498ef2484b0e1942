// The muzzle flash of sub weapon 4.
#pragma once

#include "game/player/SubWeaponShotFlash.h"

class PlayerSubWeapon_SW004Fx : public SubWeaponShotFlash {
public:
    using SubWeaponShotFlash::SubWeaponShotFlash;
};
