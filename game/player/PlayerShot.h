// A main shot of the ship: flies straight from where the ship's pattern put
// it, vanishes when it leaves the field (100 pixels beyond the map's sides,
// the top or the bottom), registers a 30 by 30 box in the player-shot group
// each frame, and on its first hit bursts into one break and twelve sparks.
// It counts itself in the Player's live-shot counter of its slot while it
// lives, which is how the ship's patterns cap their shots. Its muzzle flash
// appears with it.
#pragma once

#include "engine/common/Vector2.h"
#include "game/player/PlayerLiveCount.h"
#include "game/player/PlayerShotBase.h"

#include <cstdint>

class Player;

class PlayerShot : public PlayerShotBase {
public:
    static constexpr uint32_t kSpriteFamilies = 4;
    static constexpr uint32_t kSpriteRows = 4;
    static constexpr uint32_t kSpriteColumns = 8;
    // Half the hit box, and how far beyond the field a shot still flies.
    static constexpr int16_t kHitSize = 30;
    static constexpr float kFieldMargin = 100.0f;
    static constexpr float kFieldBottom = 720.0f;
    static constexpr float kFlashDistance = 48.0f;
    static constexpr uint32_t kLightsPerHit = 12;

    // Angle in radians, 0 up and clockwise; speed in pixels per frame. The
    // caller appends the shot to `owner`.
    PlayerShot(GameObjectDirector* owner, Player* creator, const Mireku::Common::Vector2& position,
               uint8_t spriteFamily, uint8_t spriteRow, uint32_t slot, uint8_t spriteColumn,
               float angle, float speed, uint16_t attack);
    ~PlayerShot() override;

    void Update() override;
    // Pass 0 on "PlayerShot_Blend", pass 1 on "PlayerShot_Add".
    void Draw() override;
    // Any partner: the shot ends in a burst and takes no further hit.
    void OnCollision(GameObject* other) override;
    uint32_t GetCollisionGroup() const override { return 3; }
    int16_t GetAttackPower() const override { return static_cast<int16_t>(attack_); }
    uint32_t GetWeaponFamily() const override { return kFamilyShot; }

    uint32_t GetSlot() const { return slot_; }
    uint16_t GetAttack() const { return attack_; }
    const Mireku::Common::Vector2& GetVelocity() const { return velocity_; }
    Player* GetCreator() const { return creator_; }
    // Index of the shot's rectangle in its family's lists (pass 0 and 1).
    uint32_t RectangleIndex() const;

private:
    uint8_t spriteFamily_;
    uint8_t spriteRow_;
    uint8_t spriteColumn_;
    uint32_t slot_;
    uint16_t attack_;
    Mireku::Common::Vector2 velocity_;
    Player* creator_;
    PlayerLiveCount count_;
};
