// A homing laser's growing burst: a square that widens from nothing to 192
// pixels over 40 updates and deals the row's burst attack (offset 62) on
// every odd update, drawn as a ring that grows and shrinks back
// ("h_laser_hit1.dds") under a glow that grows and fades
// ("h_laser_hit2.dds"). Only a laser's hit on an enemy shot makes one, which
// the collision pairs never bring about.
#pragma once

#include "engine/common/Vector2.h"
#include "game/player/SubWeaponObject.h"

#include <cstdint>

class PlayerSubWeapon_SW002HitFx : public SubWeaponObject {
public:
    static constexpr int8_t kUpdates = 40;
    static constexpr int32_t kLargest = 192;

    PlayerSubWeapon_SW002HitFx(GameObjectDirector* owner, const Mireku::Common::Vector2& position,
                               const ShipParamRow* row);

    void Update() override;
    void Draw() override;
    int16_t GetAttackPower() const override { return Row().sub2Attack[1]; }

    int8_t GetCounter() const { return counter_; }

private:
    int8_t counter_ = 0;
};
