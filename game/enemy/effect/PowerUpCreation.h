// The power-up effect objects the director starts when a power-up item is
// collected, one creation function each: a pool block, the object, appended
// to the director. Null when nothing was made (pool exhausted, director going
// away).
#pragma once

#include "engine/common/Vector2.h"

class GameObject;
class GameObjectDirector;

// The glow of a power level gained, at the ship.
GameObject* CreatePowerUpEffect(GameObjectDirector* director,
                                const Mireku::Common::Vector2& position);
// The points shown for a power-up taken at full power, at the ship.
GameObject* CreatePowerUpScore(GameObjectDirector* director,
                               const Mireku::Common::Vector2& position);
