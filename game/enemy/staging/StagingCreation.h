// The staging objects the stage director starts, one creation function each:
// a pool block, the object, appended to the director. Null when nothing was
// made (pool exhausted or director going away); the director goes on
// without it.
#pragma once

#include "engine/common/Vector2.h"

class GameObject;
class GameObjectDirector;

// The ship's fly-in and the stage caption at stage start.
GameObject* CreateStageStartDirection(GameObjectDirector* director);
// The fly-out and fade at stage clear; with `bossStage` clear the ship does
// not fly out (after every third stage of a loop).
GameObject* CreateStageClearDirection(GameObjectDirector* director, bool bossStage);
// The ship's return after a miss or a continue, from `position`.
GameObject* CreatePlayerRebirthDirection(GameObjectDirector* director,
                                         const Mireku::Common::Vector2& position);
