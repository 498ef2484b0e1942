#include "game/enemy/item/ItemCell.h"

#include "game/core/tables/EnemyRecord.h"
#include "game/stage/GameObjectDirector.h"
#include "game/stage/MapPlacement.h"

namespace ItemCell {

Mireku::Common::Vector2 TopLeft(const GameObjectDirector* director, uint32_t column, uint32_t row) {
    const MapPlacement::Inputs in = director ? MapPlacement::Of(*director) : MapPlacement::Inputs{};
    return MapPlacement::CellToField(in, column, row);
}

Mireku::Common::Vector2 Centre(const Mireku::Common::Vector2& topLeft, const EnemyRecord* record) {
    if (!record)
        return topLeft;
    const TexelRect& r = record->trackA[0];
    return {topLeft.x + r.Width() * 0.5f, topLeft.y + r.Height() * 0.5f};
}

bool IsBelowField(const Mireku::Common::Vector2& topLeft) {
    return topLeft.y > 720.0f;
}

} // namespace ItemCell
