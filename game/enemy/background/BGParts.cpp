#include "game/enemy/background/BGParts.h"

#include "game/core/GameState.h"
#include "game/core/GlobalWork.h"
#include "game/stage/GameObjectDirector.h"
#include "game/stage/MapPlacement.h"

namespace {

constexpr int32_t kScrollLength = 6480;
constexpr int32_t kScoreAttackScrollLength = 23280;

} // namespace

BGParts::BGParts(GameObjectDirector* owner, const StageMap& map)
    : GameObject(owner), map_(map), cellWidth_(static_cast<uint8_t>(map.GetCellWidth())),
      cellHeight_(static_cast<uint8_t>(map.GetCellHeight())) {
    const GlobalWork* gw = GlobalWork::GetInstance();
    scrollLength_ = gw && gw->gameType == GameState::kScoreAttackType ? kScoreAttackScrollLength
                                                                      : kScrollLength;
}

Mireku::Common::Vector2 BGParts::CellToField(uint32_t column, uint32_t row) const {
    MapPlacement::Inputs in;
    if (const GameObjectDirector* director = GetOwner())
        in = MapPlacement::Of(*director);
    in.cellWidth = cellWidth_;
    in.cellHeight = cellHeight_;
    in.scrollLength = scrollLength_;
    return MapPlacement::CellToField(in, column, row);
}
