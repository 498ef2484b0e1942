// What a boss body or part pays when a player weapon destroys it, by the
// weapon's family: points (Grabuster kills multiplied by the chain step),
// its kill sound, a screen shake for bodies, the boss explosion (turned
// along a Barion laser), a Hyperio item for laser kills and Barion gauge for
// main-shot kills. Shared by the body and its parts.
#pragma once

#include "engine/common/Vector2.h"

#include <cstdint>

class GameObject;

struct BossReward {
    uint64_t score;   // per kill; x the chain step for Grabuster kills
    int32_t sound;    // the kill sound
    float gaugeShare; // of the ship's Barion gauge maximum, for main-shot kills
    bool shake;       // bodies shake the screen

    static constexpr int32_t kShakeFrames = 15;
    static constexpr float kShakeAmplitude = 2.0f;
    static constexpr uint32_t kExplosionSize = 2;

    // Pays for `target` killed by `killer` (a kind-3 object) and leaves the
    // explosion at the target with `velocity`. A laser or Grabuster kill sets
    // the target's shots-to-Hyperio or shots-to-Grabuster byte, so that the
    // shots it left in the air turn into items of that kind.
    void Pay(GameObject& target, GameObject& killer, const Mireku::Common::Vector2& velocity) const;
};
