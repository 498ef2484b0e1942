// What every damaging object of the player side offers to enemies and enemy
// shots: how much a registered hit hurts and which weapon family made it.
// Enemies choose their kill rewards by the family. Every object of kind 3
// (player shot or weapon) derives from this class, so a hit handler may take
// a kind-3 partner as a PlayerShotBase.
#pragma once

#include "game/core/GameObject.h"

#include <cstdint>

class PlayerShotBase : public GameObject {
public:
    enum WeaponFamily : uint32_t {
        kFamilyShot = 0, // main shot, sub weapons and the death explosion
        kFamilyBarionLaser = 1,
        kFamilyBarionShield = 2,
        kFamilyGrabuster = 3, // and its shock wave
    };

    using GameObject::GameObject;

    uint32_t GetKind() const override { return kKindPlayerShot; }
    // Damage dealt per registered hit.
    virtual int16_t GetAttackPower() const = 0;
    virtual uint32_t GetWeaponFamily() const = 0;
};
