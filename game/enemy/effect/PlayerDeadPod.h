// The pod that falls from the ship's wreck, 10 pixels a frame, unseen. After
// the last life it explodes (a PlayerDeadPodBomb) once it has fallen below
// y 520 or after 60 updates, whichever comes first; otherwise it just
// leaves the field below y 784.
#pragma once

#include "engine/common/Vector2.h"
#include "game/core/GameObject.h"

#include <cstdint>

class PlayerDeadPod : public GameObject {
public:
    static constexpr float kFall = 10.0f;
    static constexpr float kGrowth = 0.03f;
    static constexpr float kLeaveY = 784.0f;
    static constexpr float kExplodeY = 520.0f;
    static constexpr int16_t kExplodeUpdates = 60;

    PlayerDeadPod(GameObjectDirector* owner, const Mireku::Common::Vector2& position,
                  uint8_t playerIndex, uint8_t explode);

    void Update() override;

    bool WillExplode() const { return explode_ != 0; }
    float GetGrowth() const { return growth_; }
    const Mireku::Common::Vector2& GetStart() const { return start_; }

private:
    Mireku::Common::Vector2 start_;
    float growth_ = 0.8f;
    int16_t counter_ = 0;
    uint8_t playerIndex_;
    uint8_t explode_;
};
