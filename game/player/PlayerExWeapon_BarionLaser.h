// One beam of a Barion laser volley: its head shoots 1000 pixels out from
// its start point in five frames (200 a frame), then the beam stays as a
// damaging segment between the two for the laser duration, in the player
// shots' group, dealing the row's laser attack (offset 30) in the Barion
// laser's weapon family. It keeps its start point when the ship moves. Drawn
// additive from three strips of "barion03.dds", 32 pixels either side of the
// line while extending, then narrowing to nothing over the duration.
#pragma once

#include "engine/common/Vector2.h"
#include "game/player/PlayerShotBase.h"

#include <cstdint>

class Player;
struct ShipParamRow;

class PlayerExWeapon_BarionLaser : public PlayerShotBase {
public:
    enum State : uint8_t { kExtending = 0, kActive = 1 };
    static constexpr uint8_t kExtendFrames = 5;
    static constexpr float kExtendStep = 200.0f;
    static constexpr float kHalfWidth = 32.0f;
    // The laser duration the row may give: an 8-bit count must reach it,
    // and the firing of a volley takes three frames of it.
    static constexpr int32_t kShortestDuration = 4;
    static constexpr int32_t kLongestDuration = 255;

    // `angle` in radians from +x toward +y; the head goes the other way.
    PlayerExWeapon_BarionLaser(GameObjectDirector* owner, Player* player,
                               const Mireku::Common::Vector2& start, float angle,
                               const ShipParamRow* row);

    void Update() override;
    void Draw() override;
    uint32_t GetCollisionGroup() const override;
    int16_t GetAttackPower() const override;
    uint32_t GetWeaponFamily() const override { return kFamilyBarionLaser; }

    // The row's laser duration (offset 26) within 4 to 255 frames.
    static int32_t Duration(const ShipParamRow* row);
    // The drawn half width at a state and counter.
    static float HalfWidth(uint8_t state, uint8_t counter, int32_t duration);

    const Mireku::Common::Vector2& GetStart() const { return start_; }
    const Mireku::Common::Vector2& GetDirection() const { return direction_; }
    uint8_t GetState() const { return state_; }
    uint8_t GetCounter() const { return counter_; }

private:
    const ShipParamRow* row_;
    Player* player_;
    Mireku::Common::Vector2 start_;
    Mireku::Common::Vector2 direction_;
    uint8_t counter_ = 0;
    uint8_t state_ = kExtending;
};
