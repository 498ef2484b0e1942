// A speck thrown out of a sub weapon's hit spark (eight a spark): one of four
// 32 by 32 cells, drifting at up to 2 pixels a frame either way and fading
// out over 30 updates. Its cell and drift are cosmetic (stream 0). No
// collision.
#pragma once

#include "engine/common/Vector2.h"
#include "game/core/GameObject.h"

#include <cstdint>

class SubWeaponHitParticle : public GameObject {
public:
    static constexpr int16_t kUpdates = 30;

    SubWeaponHitParticle(GameObjectDirector* owner, const Mireku::Common::Vector2& position,
                         int32_t textureSlot);

    void Update() override;
    void Draw() override;

    const Mireku::Common::Vector2& GetVelocity() const { return velocity_; }
    int16_t GetAge() const { return age_; }
    uint16_t GetCell() const { return cell_; }
    // 255 at age 0 down to 9 at age 29.
    static int32_t Alpha(int16_t age) { return 255 - age * 255 / kUpdates; }

private:
    Mireku::Common::Vector2 velocity_;
    int16_t age_ = 0;
    uint16_t cell_ = 0;
    int32_t textureSlot_;
};
