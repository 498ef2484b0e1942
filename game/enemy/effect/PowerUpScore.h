// A pick-up gave points instead of power (already at full power, or a
// secret weapon already owned): the ring burst, and the points caption
// blinking as it drifts towards the middle of the field, then fading out
// through three pictures, on "EtcOver".
#pragma once

#include "game/enemy/effect/PowerUpCaption.h"

#include <cstdint>

class PowerUpScore : public PowerUpCaption {
public:
    static constexpr uint16_t kFadeUpdates = 9;

    PowerUpScore(GameObjectDirector* owner, const Mireku::Common::Vector2& position)
        : PowerUpCaption(owner, position), side_(position.x <= 0.0f ? 1 : -1) {}

    void Update() override;
    void Draw() override;

    // +1 drifts right, -1 left.
    int32_t GetSide() const { return side_; }

private:
    int32_t side_;
};
