// The one rule that puts a cell of the stage's grid map on the play field:
// the map scrolls down with the stage (the director's map scroll against the
// background's scroll length) and shifts sideways against the ship's x by up
// to 128 pixels either way. Everything fixed to the map is placed by it
// every frame.
#pragma once

#include "engine/common/Vector2.h"

#include <cstdint>

class GameObjectDirector;

namespace MapPlacement {

struct Inputs {
    uint8_t cellWidth = 0;
    uint8_t cellHeight = 0;
    float scrollRatio = 0.0f; // the ship's x / 344, -1 to 1
    float mapScroll = 0.0f;   // pixels scrolled so far
    int32_t scrollLength = 0; // of the background's map parts
};

// The director's values this frame (zeros for what it does not hold yet).
Inputs Of(const GameObjectDirector& director);
// The parallax shift, 0 to 256.
int32_t Shift(float scrollRatio);
// The top-left corner of cell (column, row), in field coordinates.
Mireku::Common::Vector2 CellToField(const Inputs& in, uint32_t column, uint32_t row);

} // namespace MapPlacement
