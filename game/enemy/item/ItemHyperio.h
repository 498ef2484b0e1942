// The Hyperio item: raises the Hyperio gauge and pays the mode's Hyperio
// score. Made with its appear flag (enemy shots) it first plays a short
// appearance; without it (laser kills, bosses) it floats up at once. It
// floats while the shot is held and flies home to the ship when it is let
// go. Its sideways drift comes from the play stream: where it flies decides
// whether it is taken, so a replay must draw it alike.
#pragma once

#include "engine/common/Vector2.h"
#include "game/core/GameObject.h"

#include <cstdint>

class ItemHyperio : public GameObject {
public:
    enum State : uint32_t { kAppear = 0, kFloat = 1, kHoming = 2 };
    static constexpr int16_t kBox = 60;
    static constexpr int32_t kSound = 28;
    static constexpr float kRise = -3.0f;
    static constexpr float kFall = 0.2f;
    static constexpr float kFastestFall = 15.0f;
    static constexpr float kTop = -48.0f;
    static constexpr float kBottom = 768.0f;

    ItemHyperio(GameObjectDirector* owner, const Mireku::Common::Vector2& position, uint8_t appear);

    void Update() override;
    void Draw() override;
    // Taken: the gauge, the ship's level display, the sound and the score.
    void OnCollision(GameObject* other) override;
    uint32_t GetKind() const override { return kKindItem; }
    uint32_t GetCollisionGroup() const override { return 1; }

    uint32_t GetState() const { return state_; }
    uint16_t GetTimer() const { return timer_; }
    uint16_t GetFrame() const { return frame_; }
    const Mireku::Common::Vector2& GetVelocity() const { return velocity_; }

private:
    uint32_t state_;
    uint16_t timer_ = 0;
    uint16_t frame_ = 0;
    Mireku::Common::Vector2 velocity_;
};
