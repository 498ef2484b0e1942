// Turning a timeline enemy type into enemy objects: the factory and the group
// spawners of the types that come in formations. Every object is a child of
// the director; an exhausted pool skips that object.
#pragma once

#include "engine/common/Vector2.h"

#include <cstdint>

class GameObjectDirector;
struct TimelineEntry;

// The enemy of `type` at `position`: the boss body and its parts for 280-292,
// one large enemy of types 75-78 (until their swarms are in the game, one
// each), otherwise the ordinary enemy of the stage's row `type`. A type
// without its row in the stage's enemy table makes nothing.
void CreateEnemy(GameObjectDirector* director, int32_t type,
                 const Mireku::Common::Vector2& position);

// The formation spawners, for entries whose count is not 1: the type 9
// group, the rings of types 14 and 15 and the pairs of types 19 and 20. Until
// their formations are in the game, each repeats its entry as a generator does.
void SpawnEnemyS005Group(GameObjectDirector* director, const TimelineEntry& entry);
void SpawnEnemyS008Ring(GameObjectDirector* director, int32_t type, const TimelineEntry& entry);
void SpawnEnemyS011Pairs(GameObjectDirector* director, int32_t type, const TimelineEntry& entry);
