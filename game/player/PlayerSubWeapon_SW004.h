// Sub weapon 4: an aimed bomb thrown from 24 pixels above the ship against
// the aim direction (bit 0x100 throws it up the screen) at the row's launch
// speed (offset 74), losing 3% of its speed a frame. It deals nothing itself
// and bursts on contact, 48 pixels from the top or the sides of the stage
// map, or at 60 frames: each burst leaves a shock wave and an explosion
// (sound effect 40). Each margin it crosses in a frame bursts it once more,
// so a bomb thrown into a corner bursts twice.
#pragma once

#include "engine/common/Vector2.h"
#include "game/player/SubWeaponObject.h"

#include <cstdint>

class PlayerSubWeapon_SW004 : public SubWeaponObject {
public:
    static constexpr float kAboveShip = 24.0f;
    static constexpr float kMargin = 48.0f;
    static constexpr float kDrag = 0.97f;
    static constexpr uint32_t kLife = 60;
    static constexpr int16_t kHitSize = 48;
    static constexpr int32_t kBurstSound = 40;

    PlayerSubWeapon_SW004(GameObjectDirector* owner, Player* player,
                          const Mireku::Common::Vector2& position, const ShipParamRow* row,
                          const Mireku::Common::Vector2& direction);

    void Update() override;
    void Draw() override;
    void OnCollision(GameObject* other) override;
    // Shape off, the countdown, a shock wave and an explosion here, the sound.
    void Burst();

    uint32_t GetAge() const { return age_; }
    const Mireku::Common::Vector2& GetVelocity() const { return velocity_; }

private:
    uint32_t age_ = 0;
    Mireku::Common::Vector2 velocity_;
};
