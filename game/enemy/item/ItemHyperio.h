// The pick-up that raises the Hyperio gauge; enemy shots make it with value
// 1, enemies and bosses with 0. Kept as its fields only: it neither moves,
// is taken nor draws yet.
#pragma once

#include "engine/common/Vector2.h"
#include "game/core/GameObject.h"

#include <cstdint>

class ItemHyperio : public GameObject {
public:
    ItemHyperio(GameObjectDirector* owner, const Mireku::Common::Vector2& position, int32_t value);

    uint32_t GetKind() const override { return kKindItem; }
    uint32_t GetCollisionGroup() const override { return 1; }

    int32_t GetValue() const { return value_; }

private:
    int32_t value_;
};
