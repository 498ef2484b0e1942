#include "game/enemy/item/ItemGrabuster.h"

ItemGrabuster::ItemGrabuster(GameObjectDirector* owner, const Mireku::Common::Vector2& position,
                             uint32_t chainLevel, int32_t index)
    : GameObject(owner), index_(index) {
    chainLevel_ = chainLevel;
    SetPosition(position.x, position.y);
}
