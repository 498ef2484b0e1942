#include "game/enemy/item/ItemPowerUp.h"

ItemPowerUp::ItemPowerUp(GameObjectDirector* owner, const Mireku::Common::Vector2& position)
    : GameObject(owner) {
    SetPosition(position.x, position.y);
}
