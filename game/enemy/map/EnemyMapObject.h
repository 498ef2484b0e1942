// An object fixed to a cell of the stage map: it scrolls with the map and
// shifts with the player's parallax, fires its emitter grid while intact,
// is hit by player shots and strong weapons (group 5; it never hurts the
// ship itself), and when destroyed pays by the weapon family, releases its
// contents, explodes and stays in its cell as a wreck until the cell has
// passed the bottom of the field. It never moves, turns or animates as a
// common enemy: its frames come from the stage's play clock.
#pragma once

#include "game/enemy/EnemyDefault.h"

#include <cstdint>

class EnemyMapObject : public EnemyDefault {
public:
    enum State : uint32_t { kIntact = 0, kDestroyed = 1 };
    static constexpr uint32_t kGroup = 5;
    static constexpr int32_t kHitSound = 61;
    static constexpr int32_t kLargeSound = 64;
    static constexpr int32_t kFirstSmallSound = 62; // 62-63

    EnemyMapObject(GameObjectDirector* owner, int32_t type, uint32_t column, uint32_t cellRow);

    void Update() override;
    void Draw() override;
    void OnCollision(GameObject* other) override;
    uint32_t GetCollisionGroup() const override { return kGroup; }

    uint32_t GetColumn() const { return column_; }
    uint32_t GetCellRow() const { return cellRow_; }
    uint32_t GetState() const { return state_; }
    bool WasHitThisFrame() const { return hitThisFrame_ != 0; }
    // The frame of track 0 the intact object shows at clock t, and the
    // clock now ((play frame >> 2) + column + cell row).
    uint32_t IntactFrame(uint32_t t) const;
    uint32_t Clock() const;
    // The types that burst big (sound 64, a full-size blast and debris).
    static bool IsLarge(int32_t type);

private:
    // Score, gauge, Hyperio or chain by the weapon family of the kill.
    void PayReward(GameObject* killer);
    // What a destroyed object leaves: contents, sound, power-up, explosion.
    void Destroy();

    uint32_t column_;
    uint32_t cellRow_;
    uint32_t state_ = kIntact;
    uint8_t hitThisFrame_ = 0;
};
