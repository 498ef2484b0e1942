// The large explosion of a blast shot or an aimed bomb: 30 frames of 256 by
// 256 cells (16 from one sheet, 14 from a second) drawn at twice their size,
// the first ten one update each and the rest two (50 updates). A 280 by 280
// box deals the row's explosion attack from frame 4 to frame 23, that is
// from update 4 to update 37. It counts in the ship's `subCount` while it
// lives, so a blast shot and its explosion hold the same place.
#pragma once

#include "engine/common/Vector2.h"
#include "game/core/SpriteLayer.h"
#include "game/player/SubWeaponObject.h"

#include <cstdint>

class SubWeaponExplosion : public SubWeaponObject {
public:
    static constexpr uint8_t kFrames = 30;
    static constexpr uint8_t kFirstHarmful = 4;
    static constexpr uint8_t kLastHarmful = 23;
    static constexpr int16_t kHitSize = 280;

    struct Traits {
        SpriteLayer layer;
        // Frames 0-15 from this slot, 16-29 from the next.
        int32_t firstTextureSlot;
        int16_t (*attack)(const ShipParamRow& row);
    };

    SubWeaponExplosion(GameObjectDirector* owner, Player* player,
                       const Mireku::Common::Vector2& position, const ShipParamRow* row,
                       const Traits& traits);

    void Update() override;
    void Draw() override;
    int16_t GetAttackPower() const override { return traits_.attack(Row()); }

    uint8_t GetFrame() const { return frame_; }
    // Updates frame f is shown for.
    static uint8_t Duration(uint8_t frame) { return frame < 10 ? 1 : 2; }

private:
    const Traits& traits_;
    uint8_t tick_ = 0;
    uint8_t frame_ = 0;
};
