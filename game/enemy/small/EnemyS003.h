// Types 4-6: falls at a constant rate while hopping out to the right of its
// spawn column and back in half-sine swings; the path and the row speed are
// not used. The fall distance is kept in the common path position.
#pragma once

#include "game/enemy/EnemyDefault.h"

#include <cstdint>

class EnemyS003 : public EnemyDefault {
public:
    static constexpr int32_t kFirstType = 4;
    static constexpr int32_t kLastType = 6;

    EnemyS003(GameObjectDirector* owner, int32_t type, const Mireku::Common::Vector2& spawn);

    void Move() override;

    float GetPhase() const { return phase_; }

private:
    float phase_ = 0.0f;
};
