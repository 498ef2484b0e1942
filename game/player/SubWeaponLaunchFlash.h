// The launch flash of a blast shot or an aimed bomb: six pictures of 192 by
// 192, one texture each, shown for 2, 3, 3, 3, 4 and 5 updates. No collision.
#pragma once

#include "engine/common/Vector2.h"
#include "game/core/GameObject.h"

#include <cstdint>

class SubWeaponLaunchFlash : public GameObject {
public:
    static constexpr int32_t kFrames = 6;

    // The six textures are the slots from `firstTextureSlot` on.
    SubWeaponLaunchFlash(GameObjectDirector* owner, const Mireku::Common::Vector2& position,
                         int32_t firstTextureSlot);

    void Update() override;
    void Draw() override;

    int32_t GetFrame() const { return frame_; }

private:
    int32_t tick_ = 0;
    int32_t frame_ = 0;
    int32_t firstTextureSlot_;
};
