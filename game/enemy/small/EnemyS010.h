// Type 18: flies straight at the player as type 75 does; once its damage
// reaches the share of its health its row names, it stops attacking, folds
// through its three retreat frames and climbs out of the top of the field.
#pragma once

#include "game/enemy/large/EnemyL015.h"

#include <cstdint>

class EnemyS010 : public EnemyL015 {
public:
    static constexpr int32_t kRetreat = 4;
    static constexpr int32_t kLastRetreatFrame = 3;

    EnemyS010(GameObjectDirector* owner, int32_t type, const Mireku::Common::Vector2& spawn);

    void Move() override;
    void Draw() override;

    int32_t GetRetreatFrame() const { return retreatFrame_; }

private:
    int32_t retreatFrame_ = 0;
};
