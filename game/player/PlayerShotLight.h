// One of the twelve sparks of a main shot's hit: flies 2 to 5 pixels a
// frame over the half circle ahead of the shot, shrinking and fading for 59
// drawn frames on "PlayerShot_Fx". Its variant, direction and speed come
// from the presentation stream. No collision.
#pragma once

#include "engine/common/Vector2.h"
#include "game/core/GameObject.h"

#include <cstdint>

class PlayerShotLight : public GameObject {
public:
    static constexpr int32_t kLife = 60;
    static constexpr float kCell = 32.0f;
    static constexpr float kRow = 384.0f;

    PlayerShotLight(GameObjectDirector* owner, const Mireku::Common::Vector2& position,
                    uint8_t spriteFamily, float angle);

    void Update() override;
    void Draw() override;

    int32_t GetAge() const { return age_; }
    uint32_t GetVariant() const { return variant_; }
    uint32_t GetSpriteFamily() const { return spriteFamily_; }
    const Mireku::Common::Vector2& GetVelocity() const { return velocity_; }

private:
    Mireku::Common::Vector2 velocity_;
    int32_t age_ = 0;
    uint32_t variant_ = 0;
    uint32_t spriteFamily_;
};
