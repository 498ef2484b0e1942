// What PowerUpEffect and PowerUpScore share: a caption that starts at the
// object's screen position and moves by phases, counted in updates, and the
// ring burst both open with (for the first 14 ticks the 512 by 512
// lower-right quarter of "ef_power_up.dds" grows from nothing to 3.9 times
// its size about the object and fades out). No collision.
#pragma once

#include "engine/common/Vector2.h"
#include "game/core/GameObject.h"

#include <cstdint>

namespace Mireku::Renderer {
class SpriteRenderer;
}

class PowerUpCaption : public GameObject {
public:
    static constexpr uint16_t kRingTicks = 15;
    static constexpr float kRingSize = 512.0f;
    static constexpr float kRingGrowth = 3.90625f;
    static constexpr uint16_t kRiseUpdates = 10;
    static constexpr uint16_t kDriftUpdates = 30;

    uint32_t GetPhase() const { return phase_; }
    uint16_t GetTicks() const { return ticks_; }
    const Mireku::Common::Vector2& GetCaption() const { return caption_; }

protected:
    PowerUpCaption(GameObjectDirector* owner, const Mireku::Common::Vector2& position);
    // The ring while ticks < 15.
    void DrawRing(Mireku::Renderer::SpriteRenderer* layer) const;
    // Counts the phase on; true on the update it reaches `updates` (the
    // counter then starts again).
    bool CountTo(uint16_t updates);

    uint32_t phase_ = 0;
    uint16_t counter_ = 0;
    uint16_t ticks_ = 0;
    Mireku::Common::Vector2 caption_;
};
