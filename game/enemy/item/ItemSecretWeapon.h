// A hidden sub weapon on its map cell, left by an opened map object (types
// 241-247 give sub weapons 0-6). Taken, it unlocks its sub weapon and makes
// it the ship's, or, when the run already has it, pays 80000 points; either
// way the ship is protected for the mode's power-up time. It stays fixed to
// the map and goes when its cell has scrolled off the bottom.
#pragma once

#include "game/core/GameObject.h"

#include <cstdint>

class ItemSecretWeapon : public GameObject {
public:
    static constexpr int32_t kFirstType = 241;
    static constexpr int16_t kBox = 96;
    static constexpr int32_t kSound = 14;
    static constexpr int32_t kFirstVoice = 22;
    static constexpr uint64_t kOwnedScore = 80000;

    ItemSecretWeapon(GameObjectDirector* owner, uint32_t column, uint32_t row, uint32_t type);

    void Update() override;
    void Draw() override;
    void OnCollision(GameObject* other) override;
    uint32_t GetKind() const override { return kKindItem; }
    uint32_t GetCollisionGroup() const override { return 1; }

    // The sub weapon number: type - 241.
    uint32_t GetWeapon() const { return type_ - static_cast<uint32_t>(kFirstType); }
    float GetFade() const { return fade_; }
    float GetPhase() const { return phase_; }

private:
    // Centred on its cell by frame 0 of its row's first track; false when
    // the cell's top has left the field at the bottom.
    bool Place();

    uint32_t column_;
    uint32_t row_;
    uint32_t type_;
    float fade_ = 0.0f;
    float phase_ = 0.0f;
};
