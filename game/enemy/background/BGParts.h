// The stage's object map as the director keeps it: the map, its cell size
// and the length the map scrolls over (6480 pixels, 23280 in the score
// attack), by which MapPlacement puts the map on the field. Walking the
// cells and placing the map objects of their attribute values is not in the
// game yet.
#pragma once

#include "engine/common/Vector2.h"
#include "game/core/GameObject.h"
#include "game/stage/StageMap.h"

#include <cstdint>

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

private:
    StageMap map_;
    uint8_t cellWidth_;
    uint8_t cellHeight_;
    int32_t scrollLength_;
};
