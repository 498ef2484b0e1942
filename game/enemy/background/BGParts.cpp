#include "game/enemy/background/BGParts.h"

BGParts::BGParts(GameObjectDirector* owner, const StageMap& map)
    : GameObject(owner), map_(map), cellWidth_(static_cast<uint8_t>(map.GetCellWidth())),
      cellHeight_(static_cast<uint8_t>(map.GetCellHeight())) {}
