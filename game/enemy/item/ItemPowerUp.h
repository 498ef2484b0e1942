// The power-up item: sways across the field between x -296 and 296 while it
// sinks, and raises the shot's power level when taken (the director's
// CollectPowerUp), then protects the ship for the mode's time. The item a
// continue drops carries the restore flag: it first puts the level back to
// 2. It leaves only by being taken (or with the stage).
#pragma once

#include "engine/common/Vector2.h"
#include "game/core/GameObject.h"

#include <cstdint>

class ItemPowerUp : public GameObject {
public:
    enum State : uint32_t { kRight = 0, kLeft = 1 };
    static constexpr int16_t kBoxWidth = 60;
    static constexpr int16_t kBoxHeight = 90;
    static constexpr float kSway = 3.0f;
    static constexpr float kEdge = 296.0f;
    static constexpr float kSink = 0.7f;

    ItemPowerUp(GameObjectDirector* owner, const Mireku::Common::Vector2& position);

    void Update() override;
    void Draw() override;
    void OnCollision(GameObject* other) override;
    uint32_t GetKind() const override { return kKindItem; }
    uint32_t GetCollisionGroup() const override { return 1; }

    uint32_t GetState() const { return state_; }
    uint32_t GetCounter() const { return counter_; }
    // The frame of the counter: 0, 1, 2, 1, each for 4 counts.
    uint32_t GetFrame() const;

    // Set by the director's continue: the level goes back to 2 first.
    uint8_t carried = 0;

private:
    uint32_t state_ = kRight;
    uint32_t counter_ = 0;
};
