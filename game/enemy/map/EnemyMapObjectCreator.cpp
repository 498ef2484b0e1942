#include "game/enemy/map/EnemyMapObjectCreator.h"

#include "game/core/tables/EnemyRecord.h"
#include "game/enemy/common/EBSS_Driver.h"
#include "game/enemy/item/ItemCell.h"
#include "game/enemy/map/EnemyMapObject.h"
#include "game/stage/GameObjectDirector.h"

EnemyMapObjectCreator::EnemyMapObjectCreator(GameObjectDirector* owner, uint32_t type,
                                             uint32_t column, uint32_t cellRow)
    : GameObject(owner), row_(EBSS_Driver::EnemyRowOf(static_cast<int32_t>(type))), type_(type),
      column_(column), cellRow_(cellRow) {}

void EnemyMapObjectCreator::Update() {
    GameObjectDirector* director = GetOwner();
    if (!row_ || !director) {
        Vanish();
        return;
    }
    // y2 - y1 without the + 1: a 1-texel object appears at cell top 0.
    const int32_t h = row_->trackA[0].bottom - row_->trackA[0].top;
    if (static_cast<float>(h) + ItemCell::TopLeft(director, column_, cellRow_).y < 0.0f)
        return;
    // Without a block the cell stays empty; the creator goes all the same.
    GameObject::Create<EnemyMapObject>(director, director, static_cast<int32_t>(type_), column_,
                                       cellRow_);
    Vanish();
}
