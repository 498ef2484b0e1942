// The power-up item. The director sets its carried flag for the item that a
// continue drops. Kept as its fields only: it neither moves, is taken nor
// draws yet.
#pragma once

#include "engine/common/Vector2.h"
#include "game/core/GameObject.h"

#include <cstdint>

class ItemPowerUp : public GameObject {
public:
    ItemPowerUp(GameObjectDirector* owner, const Mireku::Common::Vector2& position);

    uint32_t GetKind() const override { return kKindItem; }
    uint32_t GetCollisionGroup() const override { return 1; }

    uint8_t carried = 0;
};
