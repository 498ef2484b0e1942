// The burst where a main shot hit: six frames at twice their size on
// "PlayerShot_Fx". No collision.
#pragma once

#include "engine/common/Vector2.h"
#include "game/core/GameObject.h"

#include <cstdint>

class PlayerShotBreak : public GameObject {
public:
    static constexpr int8_t kFrames = 6;
    static constexpr float kCell = 80.0f;
    static constexpr float kLeft = 32.0f;
    static constexpr float kRow = 384.0f;
    static constexpr float kScale = 2.0f;

    PlayerShotBreak(GameObjectDirector* owner, const Mireku::Common::Vector2& position,
                    uint8_t spriteFamily);

    void Update() override;
    void Draw() override;

    int8_t GetFrame() const { return frame_; }
    uint8_t GetSpriteFamily() const { return spriteFamily_; }

private:
    int8_t frame_ = -1;
    uint8_t spriteFamily_;
};
