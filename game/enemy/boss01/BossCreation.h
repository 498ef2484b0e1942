// The boss of a stage, made by the enemy factory for the timeline types 280
// to 292: the body (owner and parent the director, position (0, 0), boss group
// = the stage index) and then its parts. Null when no body was made (pool
// exhausted, director going away, or no body row for the group in the mode's
// boss table).
#pragma once

#include <cstdint>

class GameObject;
class GameObjectDirector;

GameObject* CreateEnemyBoss(GameObjectDirector* director, int32_t type, uint32_t group);
