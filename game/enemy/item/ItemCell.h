// Where a map-held item sits: its cell placed by the map placement rule and
// the item centred on it by the size of frame 0 of its row's first track.
#pragma once

#include "engine/common/Vector2.h"

#include <cstdint>

class GameObjectDirector;
struct EnemyRecord;

namespace ItemCell {

// The cell's top-left corner in field coordinates.
Mireku::Common::Vector2 TopLeft(const GameObjectDirector* director, uint32_t column, uint32_t row);
// The item's centre: top-left + half the frame's size (0 without a row).
Mireku::Common::Vector2 Centre(const Mireku::Common::Vector2& topLeft, const EnemyRecord* record);
// The cell's top has scrolled past the field's bottom.
bool IsBelowField(const Mireku::Common::Vector2& topLeft);

} // namespace ItemCell
