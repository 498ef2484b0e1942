// An aimed bomb's shock wave: a circle of radius 222 times its scale that
// grows from 0.4 by 0.05 a frame. It deals the row's shock-wave attack
// (offset 86) while the scale is below 2.7 (its first 46 updates) and keeps
// growing and fading out until the scale passes 3.0 (its 53rd update). The
// collision's circle test is the game's own: a circle that covers a box
// whole misses it.
#pragma once

#include "engine/common/Vector2.h"
#include "game/player/SubWeaponObject.h"

#include <cstdint>

class PlayerSubWeapon_SW004Sonic : public SubWeaponObject {
public:
    static constexpr float kStartScale = 0.4f;
    static constexpr float kGrowth = 0.05f;
    // The first scale without a hit shape, as the float it is compared with.
    static constexpr float kHarmlessFrom = 2.6999998f;
    static constexpr float kLastScale = 3.0f;
    static constexpr float kRadius = 222.0f;
    static constexpr float kSize = 512.0f;

    PlayerSubWeapon_SW004Sonic(GameObjectDirector* owner, Player* player,
                               const Mireku::Common::Vector2& position, const ShipParamRow* row);

    void Update() override;
    void Draw() override;
    int16_t GetAttackPower() const override { return Row().sub4Attack[1]; }
};
