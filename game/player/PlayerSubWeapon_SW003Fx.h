// The muzzle flash of sub weapon 3.
#pragma once

#include "game/player/SubWeaponShotFlash.h"

class PlayerSubWeapon_SW003Fx : public SubWeaponShotFlash {
public:
    using SubWeaponShotFlash::SubWeaponShotFlash;
};
