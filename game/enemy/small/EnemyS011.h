// Types 19-20, made in pairs from the lower corners by the factory's pair
// spawner: comes in to a random point of the upper field and hovers there as
// type 77 does, then aims at the player and dives, 0.2 pixels per frame
// faster every frame, until it has left the bottom of the field.
#pragma once

#include "game/enemy/large/EnemyL017.h"

#include <cstdint>

class EnemyS011 : public EnemyL017 {
public:
    static constexpr int32_t kDive = 8;
    static constexpr float kAcceleration = 0.2f;

    using EnemyL017::EnemyL017;

    void Move() override;
    void Draw() override;
};
