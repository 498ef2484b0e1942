// The stage's object map as the director keeps it: the map, its cell size
// and the length the map scrolls over (6480 pixels, 23280 in the score
// attack), by which MapPlacement puts the map on the field. Made at stage
// start, it places one waiting map-object creator on every cell whose value
// (1-1023) has a map attribute (the object's type, with a row in the stage's
// enemy table; 244 and 245 only once unlocked). Updates and draws nothing.
#pragma once

#include "engine/common/Vector2.h"
#include "game/core/GameObject.h"
#include "game/stage/StageMap.h"

#include <cstdint>

class GlobalWork;

class BGParts : public GameObject {
public:
    BGParts(GameObjectDirector* owner, const StageMap& map);

    const StageMap& GetMap() const { return map_; }
    uint8_t GetCellWidth() const { return cellWidth_; }
    uint8_t GetCellHeight() const { return cellHeight_; }
    int32_t GetScrollLength() const { return scrollLength_; }
    // The top-left corner of a map cell on the field this frame (the map
    // placement rule with this map's cell size).
    Mireku::Common::Vector2 CellToField(uint32_t column, uint32_t row) const;

    // Every cell of `map` that places an object, row by row from the top:
    // its value 1-1023 has a non-zero attribute (244 and 245 only when
    // unlocked) whose enemy row exists. Calls `place` for each; returns how
    // many.
    using Placement = void (*)(void* context, uint16_t type, uint32_t column, uint32_t row);
    static uint32_t Walk(const StageMap& map, const GlobalWork& gw, Placement place, void* context);

private:
    StageMap map_;
    uint8_t cellWidth_;
    uint8_t cellHeight_;
    int32_t scrollLength_;
};
