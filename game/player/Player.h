// The ship the player flies: created by the stage director at stage start
// (CreatePlayer) and kept in its player pointer. This is the part of the
// ship that the director and the heads-up display rely on; flight, fire,
// hits and drawing belong to the ship's own operations.
#pragma once

#include "game/core/GameObject.h"

#include <cstdint>

class Player : public GameObject {
public:
    enum State : uint8_t { kNormal = 0, kBarionLaser = 1, kGrabuster = 2 };
    enum GrabusterPhase : uint8_t { kGrabStartUp = 0, kGrabDrain = 1, kGrabWindDown = 2 };
    // The drain sound of the Grabuster and the sound of its end.
    static constexpr int32_t kGrabDrainSound = 30;
    static constexpr int32_t kGrabEndSound = 31;

    explicit Player(GameObjectDirector* owner);

    uint32_t GetKind() const override { return kKindPlayer; }
    uint32_t GetCollisionGroup() const override { return 2; }

    // The stage is cleared: the laser ends at once (its gauge spent), a
    // Grabuster that is still running goes into its wind-down.
    void OnStageClear();
    // In the laser or the Grabuster.
    bool IsInSpecialMode() const { return state != kNormal; }

    // Gates drawing and exhaust; the return staging sets it again after a miss.
    uint8_t visible = 1;
    uint8_t state = kNormal;
    uint8_t grabPhase = kGrabStartUp;
    int16_t grabStep = 0;
    int16_t grabTick = 0;
};
