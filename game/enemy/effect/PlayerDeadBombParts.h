// A shard of the ship's wreck: one of eight 28 by 28 cells of
// "ef_pc_baku_tb.dds", thrown 3 to 8 pixels a frame in a direction of the
// presentation stream, turning and shrinking to nothing over 60 updates,
// additive on "Player". No collision.
#pragma once

#include "engine/common/Vector2.h"
#include "game/core/GameObject.h"

#include <cstdint>

class PlayerDeadBombParts : public GameObject {
public:
    static constexpr uint32_t kLife = 60;
    static constexpr float kCell = 28.0f;

    PlayerDeadBombParts(GameObjectDirector* owner, const Mireku::Common::Vector2& position);

    void Update() override;
    void Draw() override;

    uint32_t GetVariant() const { return variant_; }
    const Mireku::Common::Vector2& GetVelocity() const { return velocity_; }

private:
    uint32_t age_ = 0;
    uint32_t variant_ = 0;
    Mireku::Common::Vector2 velocity_;
};
