// Sub weapon 3: a blast shot that leaves 16 pixels below the ship and flies
// straight up at the row's speed (offset 64). It deals nothing itself: on
// its first contact with a map object or an enemy it goes and leaves its
// explosion (sound effect 38); it also goes once above y = -48. Launching
// shows a muzzle flash and a launch flash 32 pixels above the ship.
#pragma once

#include "engine/common/Vector2.h"
#include "game/player/SubWeaponObject.h"

#include <cstdint>

class PlayerSubWeapon_SW003 : public SubWeaponObject {
public:
    static constexpr float kBelowShip = 16.0f;
    static constexpr float kFlashAbove = 48.0f;
    static constexpr float kTopLine = -48.0f;
    static constexpr int16_t kHitSize = 48;
    static constexpr int32_t kBurstSound = 38;

    PlayerSubWeapon_SW003(GameObjectDirector* owner, Player* player,
                          const Mireku::Common::Vector2& position, const ShipParamRow* row);

    void Update() override;
    void Draw() override;
    // Any partner: the explosion, once (the shape goes off at once).
    void OnCollision(GameObject* other) override;

    uint32_t GetAge() const { return age_; }

private:
    uint32_t age_ = 0;
};
