// The shock ring a Barion laser volley flashes where it starts: a 512 by 512
// ring ("barion02.dds") growing to five times its size and fading out over
// 30 updates. No collision.
#pragma once

#include "engine/common/Vector2.h"
#include "game/core/GameObject.h"

#include <cstdint>

class PlayerExWeapon_BarionLaserFx : public GameObject {
public:
    static constexpr uint8_t kUpdates = 30;

    PlayerExWeapon_BarionLaserFx(GameObjectDirector* owner,
                                 const Mireku::Common::Vector2& position);

    void Update() override;
    void Draw() override;

    uint8_t GetAge() const { return age_; }

private:
    uint8_t age_ = 0;
};
