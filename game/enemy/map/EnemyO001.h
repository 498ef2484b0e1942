// Types 264-279 and 295-310, placed by the factory at a random x on the top
// edge: flies in a straight line, mostly downward at a random slant within
// 30 degrees of straight down, or aimed at the player when its row asks, at
// one of three row speeds; otherwise a common enemy.
#pragma once

#include "game/enemy/large/EnemyL015.h"

#include <cstdint>

class EnemyO001 : public EnemyL015 {
public:
    static constexpr int32_t kFirstLargeType = 295;  // 295-302
    static constexpr int32_t kFirstHeavyType = 303;  // 303-310
    static constexpr int32_t kFirstMiddleType = 272; // 272-279

    EnemyO001(GameObjectDirector* owner, int32_t type, const Mireku::Common::Vector2& spawn);

    void PlayDeathSound() override;
};
