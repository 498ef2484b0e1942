// The Grabuster chain item, made from enemy shots the Grabuster converts or
// hits: after its delay it appears, shows its score caption drifting down,
// then flies home to the ship and pays the chain's score x 10. It cannot be
// taken before it flies (about delay + 49 frames after it was made).
#pragma once

#include "engine/common/Vector2.h"
#include "game/core/GameObject.h"

#include <cstdint>

class ItemGrabuster : public GameObject {
public:
    enum State : uint32_t { kDelay = 0, kAppear = 1, kCaption = 2, kWait = 3, kHoming = 4 };
    static constexpr int16_t kBox = 80;
    static constexpr int32_t kSound = 65;
    static constexpr uint32_t kScoreFactor = 10;
    static constexpr float kDownWhileDown = 5.0f;

    ItemGrabuster(GameObjectDirector* owner, const Mireku::Common::Vector2& position,
                  uint32_t chainLevel, int32_t delay);

    void Update() override;
    void Draw() override;
    // Taken: the chain's score x 10 and its sound.
    void OnCollision(GameObject* other) override;
    uint32_t GetKind() const override { return kKindItem; }
    uint32_t GetCollisionGroup() const override { return 1; }

    uint32_t GetState() const { return state_; }
    uint16_t GetDelay() const { return delay_; }
    uint16_t GetTimer() const { return timer_; }
    uint16_t GetFrame() const { return frame_; }

private:
    uint32_t Level() const { return chainLevel_ <= kMaxChainLevel ? chainLevel_ : kMaxChainLevel; }

    uint32_t state_ = kDelay;
    uint16_t delay_;
    uint16_t timer_ = 0;
    uint16_t frame_ = 0;
};
