// One exhaust spark of the ship: flies straight at its speed, turning and
// shrinking to nothing over 60 updates, drawn from one of the ship's three
// "player_eftb" textures on "PlayerShot_Add". No collision.
#pragma once

#include "engine/common/Vector2.h"
#include "game/core/GameObject.h"

#include <cstdint>

class PlayerEffectBackFire : public GameObject {
public:
    static constexpr uint32_t kLife = 60;
    static constexpr uint32_t kVariants = 3;
    static constexpr float kSize = 16.0f;

    // Angle in radians from +x towards +y.
    PlayerEffectBackFire(GameObjectDirector* owner, const Mireku::Common::Vector2& position,
                         float angle, float speed);

    void Update() override;
    void Draw() override;

    uint32_t GetVariant() const { return variant_; }
    const Mireku::Common::Vector2& GetVelocity() const { return velocity_; }

private:
    uint32_t age_ = 0;
    uint32_t variant_ = 0;
    Mireku::Common::Vector2 velocity_;
};
