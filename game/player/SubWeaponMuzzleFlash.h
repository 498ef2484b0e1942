// The flash at the muzzle of a beam column (sub weapons 1 and 5): eight
// frames of a 512 by 512 sheet of 128 by 256 cells, two updates each,
// shrinking from twice its size, drawn 24 pixels above its anchor (the ship,
// or the decoy that fires) wherever the anchor goes. No collision.
#pragma once

#include "game/core/GameObject.h"

#include <cstdint>

class SubWeaponMuzzleFlash : public GameObject {
public:
    static constexpr int8_t kUpdates = 16;

    // The anchor outlives the flash: the ship lives all stage, and a decoy
    // waits for its column far longer than the flash shows.
    SubWeaponMuzzleFlash(GameObjectDirector* owner, GameObject* anchor, int32_t textureSlot);

    void Update() override;
    void Draw() override;

    int8_t GetCounter() const { return counter_; }

private:
    int8_t counter_ = 0;
    GameObject* anchor_;
    int32_t textureSlot_;
};
