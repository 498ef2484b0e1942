#include "game/enemy/background/BGParts.h"

#include "game/core/GameState.h"
#include "game/core/GlobalWork.h"
#include "game/core/ProgressBlock.h"
#include "game/enemy/map/EnemyMapObjectCreator.h"
#include "game/stage/GameObjectDirector.h"
#include "game/stage/MapPlacement.h"

namespace {

constexpr int32_t kScrollLength = 6480;
constexpr int32_t kScoreAttackScrollLength = 23280;
// Attributes shown only once the progress has unlocked them.
constexpr uint16_t kFirstUnlockType = 244;
constexpr uint16_t kSecondUnlockType = 245;

bool Unlocked(const GlobalWork& gw, uint16_t attribute) {
    const uint32_t bits = ProgressBlock::UnlockBits(gw.progress);
    if (attribute == kFirstUnlockType)
        return (bits & ProgressBlock::kUnlockBit8) != 0;
    if (attribute == kSecondUnlockType)
        return (bits & ProgressBlock::kUnlockBit10) != 0;
    return true;
}

} // namespace

BGParts::BGParts(GameObjectDirector* owner, const StageMap& map)
    : GameObject(owner), map_(map), cellWidth_(static_cast<uint8_t>(map.GetCellWidth())),
      cellHeight_(static_cast<uint8_t>(map.GetCellHeight())) {
    const GlobalWork* gw = GlobalWork::GetInstance();
    scrollLength_ = gw && gw->gameType == GameState::kScoreAttackType ? kScoreAttackScrollLength
                                                                      : kScrollLength;
    if (gw)
        Walk(
            map_, *gw,
            [](void* context, uint16_t type, uint32_t column, uint32_t row) {
                auto* director = static_cast<GameObjectDirector*>(context);
                GameObject::Create<EnemyMapObjectCreator>(director, director, type, column, row);
            },
            owner);
}

uint32_t BGParts::Walk(const StageMap& map, const GlobalWork& gw, Placement place, void* context) {
    uint32_t placed = 0;
    // A map whose cells do not fit its file keeps its header's sizes, and a
    // map of no columns may still claim billions of rows: walk only a map
    // that has cells.
    if (!map.HasCells() || map.GetWidth() == 0)
        return placed;
    for (uint32_t row = 0; row < map.GetHeight(); ++row)
        for (uint32_t column = 0; column < map.GetWidth(); ++column) {
            const uint32_t value = map.GetCell(column, row);
            if (!StageMap::IsPlacing(value))
                continue;
            uint16_t attribute = 0;
            if (!gw.tables.MapAttribute(value, &attribute) || attribute == 0 ||
                !Unlocked(gw, attribute))
                continue;
            // A type without its enemy row has nothing to place.
            if (!gw.tables.EnemyRow(gw.mode, gw.stage, attribute))
                continue;
            place(context, attribute, column, row);
            ++placed;
        }
    return placed;
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
