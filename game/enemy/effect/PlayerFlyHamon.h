// The ripple the ship leaves when it flies out at a stage clear: a flat
// ellipse of "player_hikou_hamon.dds" growing for 20 updates, additive on
// "Player". No collision.
#pragma once

#include "engine/common/Vector2.h"
#include "game/core/GameObject.h"

#include <cstdint>

class PlayerFlyHamon : public GameObject {
public:
    static constexpr int16_t kLife = 20;
    static constexpr float kSize = 512.0f;
    static constexpr float kFlatten = 0.3f;

    PlayerFlyHamon(GameObjectDirector* owner, const Mireku::Common::Vector2& position);

    void Update() override;
    void Draw() override;

private:
    int16_t age_ = 0;
};
