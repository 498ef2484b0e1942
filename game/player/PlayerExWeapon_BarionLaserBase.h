// One volley of the Barion laser, made by the ship in its laser state while
// shot is held. It rides on the ship with its muzzle sprite ("barion01.dds",
// 48 pixels below the ship), flashes a shock ring, charges for three frames,
// fires a fixed fan of thirty beams from points around the ship (26 of them
// turned by up to 10 degrees either way, drawn from the play stream in table
// order), holds its muzzle open until the laser duration is over and closes
// it in eight frames. It counts in the ship's `laserCount` while it lives.
// No collision.
#pragma once

#include "game/core/GameObject.h"
#include "game/player/PlayerLiveCount.h"

#include <cstdint>

class Player;
struct ShipParamRow;

class PlayerExWeapon_BarionLaserBase : public GameObject {
public:
    enum State : uint8_t { kCharge = 0, kFiring = 1, kClosing = 2 };
    static constexpr uint8_t kChargeFrames = 3;
    static constexpr uint8_t kFramesPerClosingImage = 2;
    static constexpr uint8_t kImages = 6;
    static constexpr uint32_t kBeams = 30;
    static constexpr float kMuzzleBelow = 48.0f;

    struct Beam {
        int16_t dx, dy;  // from the volley's position
        int16_t degrees; // clockwise from straight up
        bool jitter;
    };
    static const Beam kVolley[kBeams];

    PlayerExWeapon_BarionLaserBase(GameObjectDirector* owner, Player* player,
                                   const ShipParamRow* row);
    ~PlayerExWeapon_BarionLaserBase() override { count_.Leave(); }

    void Update() override;
    void Draw() override;

    uint8_t GetState() const { return state_; }
    uint8_t GetCounter() const { return counter_; }
    uint8_t GetFrame() const { return frame_; }

private:
    void FireVolley();

    const ShipParamRow* row_;
    Player* player_;
    uint8_t counter_ = 0;
    uint8_t frame_ = 0;
    uint8_t state_ = kCharge;
    PlayerLiveCount count_;
};
