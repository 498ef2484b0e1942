// The Grabuster chain item made from converted or Grabuster-hit enemy shots.
// Kept as its fields only: it neither moves, is taken nor draws yet.
#pragma once

#include "engine/common/Vector2.h"
#include "game/core/GameObject.h"

#include <cstdint>

class ItemGrabuster : public GameObject {
public:
    ItemGrabuster(GameObjectDirector* owner, const Mireku::Common::Vector2& position,
                  uint32_t chainLevel, int32_t index);

    uint32_t GetKind() const override { return kKindItem; }
    uint32_t GetCollisionGroup() const override { return 1; }

    int32_t GetIndex() const { return index_; }

private:
    int32_t index_;
};
