#include "game/enemy/effect/PowerUpCreation.h"

// The power-up effects are not in the game yet: the director meets the same
// null as from an exhausted pool.

GameObject* CreatePowerUpEffect(GameObjectDirector*, const Mireku::Common::Vector2&) {
    return nullptr;
}

GameObject* CreatePowerUpScore(GameObjectDirector*, const Mireku::Common::Vector2&) {
    return nullptr;
}
