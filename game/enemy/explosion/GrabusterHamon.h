// The Grabuster's shock wave, released by the ship where the Grabuster's
// drain ends: a square that grows from 120 to 500 pixels over 20 updates in
// the strong weapons' group, hitting every enemy, map object and enemy shot
// it touches on each of them with the row's Grabuster attack (offset 38), in
// the Grabuster's weapon family. Drawn alpha-blended on "Player" as the whole
// of "gura_hamon.dds" at the box's size.
#pragma once

#include "engine/common/Vector2.h"
#include "game/core/tables/ShipParamRow.h"
#include "game/player/PlayerShotBase.h"

#include <cstdint>

class GrabusterHamon : public PlayerShotBase {
public:
    static constexpr int16_t kUpdates = 20;
    static constexpr float kSizePerScale = 100.0f;
    static constexpr float kTexture = 480.0f;

    GrabusterHamon(GameObjectDirector* owner, const Mireku::Common::Vector2& position,
                   const ShipParamRow* row);

    void Update() override;
    void Draw() override;
    uint32_t GetCollisionGroup() const override;
    int16_t GetAttackPower() const override { return row_ ? row_->grabusterAttack : 0; }
    uint32_t GetWeaponFamily() const override { return kFamilyGrabuster; }

    int16_t GetCounter() const { return counter_; }

private:
    const ShipParamRow* row_;
    int16_t counter_ = 0;
};
