// The staging objects the stage director starts, one creation function each:
// a pool block, the object, appended to the director. Null when nothing was
// made (pool exhausted, director going away, or the class not in the game
// yet); the director goes on without it.
#pragma once

#include "engine/common/Vector2.h"

class GameObject;
class GameObjectDirector;

// The ship's fly-in and the stage caption at stage start.
GameObject* CreateStageStartDirection(GameObjectDirector* director);
// The fly-out and fade at stage clear; `bossStage` when the stage ended on a
// boss that is not the last of its three.
GameObject* CreateStageClearDirection(GameObjectDirector* director, bool bossStage);
// The ship's return after a miss or a continue, from `position`.
GameObject* CreatePlayerRebirthDirection(GameObjectDirector* director,
                                         const Mireku::Common::Vector2& position);
