// The burst the Grabuster field shows on every object it hits: nine 256 by
// 256 cells of "gura_hit.dds", the first for two frames, then each for two
// frames of its own (18 drawn frames). No collision.
#pragma once

#include "engine/common/Vector2.h"
#include "game/core/GameObject.h"

#include <cstdint>

class PlayerExWeapon_GrabusterHit : public GameObject {
public:
    static constexpr int16_t kStartDelay = 2;
    static constexpr int16_t kLastFrame = 16;

    PlayerExWeapon_GrabusterHit(GameObjectDirector* owner, const Mireku::Common::Vector2& position);

    void Update() override;
    void Draw() override;

    int16_t GetFrame() const { return frame_; }

private:
    int16_t delay_ = 0;
    int16_t frame_ = 0;
};
