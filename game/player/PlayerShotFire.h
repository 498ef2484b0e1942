// The muzzle flash of a main shot: three frames, turned with the shot, on
// "PlayerShot_Fx". No collision.
#pragma once

#include "engine/common/Vector2.h"
#include "game/core/GameObject.h"

#include <cstdint>

class PlayerShotFire : public GameObject {
public:
    static constexpr int8_t kFrames = 4; // frame 0 is never drawn
    static constexpr float kCell = 96.0f;
    static constexpr float kRow = 288.0f;

    PlayerShotFire(GameObjectDirector* owner, const Mireku::Common::Vector2& position,
                   uint8_t spriteFamily, float angle);

    void Update() override;
    void Draw() override;

    int8_t GetFrame() const { return frame_; }
    uint8_t GetSpriteFamily() const { return spriteFamily_; }

private:
    int8_t frame_ = 0;
    uint8_t spriteFamily_;
};
