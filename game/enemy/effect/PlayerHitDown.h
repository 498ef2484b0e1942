// The burst drawn where the ship takes a miss: eight frames of three
// updates each from "ef_pc_hitdown.dds" on "Enemy_Shot_Add". No collision.
#pragma once

#include "engine/common/Vector2.h"
#include "game/core/GameObject.h"

#include <cstdint>

class PlayerHitDown : public GameObject {
public:
    static constexpr uint16_t kFrames = 8;
    static constexpr uint16_t kLastTick = 2;
    static constexpr float kCell = 256.0f;

    PlayerHitDown(GameObjectDirector* owner, const Mireku::Common::Vector2& position);

    void Update() override;
    void Draw() override;

    uint16_t GetFrame() const { return frame_; }

private:
    uint16_t tick_ = 0;
    uint16_t frame_ = 0;
};
