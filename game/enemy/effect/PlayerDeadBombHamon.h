// The spinning shock ring of the ship's death: it spins up and grows for 15
// updates, grows for 10, then turns slowly and fades for 60, drawn additive
// on "Player" from "ef_pc_baku_hamon.dds". No collision.
#pragma once

#include "engine/common/Vector2.h"
#include "game/core/GameObject.h"

#include <cstdint>

class PlayerDeadBombHamon : public GameObject {
public:
    static constexpr uint32_t kSpinUpdates = 15;
    static constexpr uint32_t kGrowUpdates = 10;
    static constexpr uint32_t kFadeUpdates = 60;
    static constexpr float kSize = 720.0f;

    PlayerDeadBombHamon(GameObjectDirector* owner, const Mireku::Common::Vector2& position);

    void Update() override;
    void Draw() override;

    uint32_t GetPhase() const { return phase_; }
    float GetSpin() const { return spin_; }

private:
    uint32_t phase_ = 0;
    uint32_t counter_ = 0;
    float ringScale_ = 0.0f;
    float spin_ = 0.0f;
};
