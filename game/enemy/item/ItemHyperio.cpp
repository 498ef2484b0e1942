#include "game/enemy/item/ItemHyperio.h"

ItemHyperio::ItemHyperio(GameObjectDirector* owner, const Mireku::Common::Vector2& position,
                         int32_t value)
    : GameObject(owner), value_(value) {
    SetPosition(position.x, position.y);
}
