// Turning a timeline enemy type into enemy objects: the factory with its
// table of type numbers and the group spawners of the types that come in
// formations. Every object is a child of the director; an exhausted pool
// skips that object and the rest of a group is still attempted.
#pragma once

#include "engine/common/Vector2.h"

#include <cstdint>

class GameObjectDirector;
struct TimelineEntry;

// The enemy of `type` at `position`, by the type table: the small families,
// the large types and their swarms (77, 78), the O001 family (264-279,
// 295-310, placed at a random x on the top edge), the boss body and its parts
// (280-292, at (0, 0)), the ordinary enemy for every other type; nothing for
// the formation types 9, 14, 15, 19 and 20. A type without its row in the
// stage's enemy table (a boss: without its boss row) makes nothing.
void CreateEnemy(GameObjectDirector* director, int32_t type,
                 const Mireku::Common::Vector2& position);

// The formation spawners, for entries whose count is not 1: the type 9
// group, the rings of types 14 and 15 (count enemies about the player) and
// the pairs of types 19 and 20 (count / 2 pairs from the lower corners).
void SpawnEnemyS005Group(GameObjectDirector* director, const TimelineEntry& entry);
void SpawnEnemyS008Ring(GameObjectDirector* director, int32_t type, const TimelineEntry& entry);
void SpawnEnemyS011Pairs(GameObjectDirector* director, int32_t type, const TimelineEntry& entry);

// The random makers of the factory's table, from the play stream: one O001
// at x = r x 720 - 410 on the top edge; 20-30 enemies of type 77 or 78, each
// at x = r x 920 - 460 on the top edge.
void CreateEnemyO001(GameObjectDirector* director, int32_t type);
void SpawnEnemyL017Swarm(GameObjectDirector* director, int32_t type);
void SpawnEnemyL018Swarm(GameObjectDirector* director, int32_t type);
