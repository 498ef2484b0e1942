// Sub weapon 5's beam column, fired by a decoy from where the decoy stands:
// it keeps its x, rises at the row's decoy beam speed (offset 88) up to 1248
// pixels long and is drawn from "subwp5_2.dds". Total attack at row offset
// 94, of which its side deals offset 96. Its muzzle flash is the decoy's.
#pragma once

#include "game/player/SubWeaponBeamColumn.h"

class PlayerSubWeapon_SW005 : public SubWeaponBeamColumn {
public:
    static constexpr float kLengthCap = 1248.0f;

    // The column starts at `source`'s position (the decoy's).
    PlayerSubWeapon_SW005(GameObjectDirector* owner, Player* player, GameObject* source,
                          const ShipParamRow* row);
};
