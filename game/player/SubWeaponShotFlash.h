// The muzzle flash of a blast shot or an aimed bomb: one 128 by 128 cell of
// "subwp_ef.dds" that swells to full size in four updates and shrinks away
// by the 14th. Its size is the object's scale. No collision.
#pragma once

#include "engine/common/Vector2.h"
#include "game/core/GameObject.h"

#include <cstdint>

class SubWeaponShotFlash : public GameObject {
public:
    static constexpr int8_t kUpdates = 14;

    SubWeaponShotFlash(GameObjectDirector* owner, const Mireku::Common::Vector2& position);

    void Update() override;
    void Draw() override;

    int8_t GetCounter() const { return counter_; }
    // The scale at counter 0 to 13.
    static float ScaleAt(int8_t counter);

private:
    int8_t counter_ = 0;
};
