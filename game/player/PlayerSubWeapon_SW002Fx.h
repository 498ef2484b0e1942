// The launch flash of a homing-laser volley, 32 pixels above the ship: 16
// frames of 128 by 128 in "subwp2_1.dds", one an update, shrinking from
// twice its size. No collision.
#pragma once

#include "engine/common/Vector2.h"
#include "game/core/GameObject.h"

#include <cstdint>

class PlayerSubWeapon_SW002Fx : public GameObject {
public:
    static constexpr int8_t kUpdates = 16;

    PlayerSubWeapon_SW002Fx(GameObjectDirector* owner, const Mireku::Common::Vector2& position);

    void Update() override;
    void Draw() override;

    int8_t GetCounter() const { return counter_; }

private:
    int8_t counter_ = 0;
};
