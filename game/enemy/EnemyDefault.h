// The ordinary stage enemy, made by the factory for every type number that
// no special class takes: fully described by its row of the stage's enemy
// table (row = type). It holds its row's hit box at its spawn point, takes
// damage from player weapons and, when destroyed, pays its rewards by the
// weapon family that made the kill and leaves an explosion behind. It does
// not move, turn, animate, fire or draw yet.
#pragma once

#include "engine/common/Vector2.h"
#include "game/core/GameObject.h"

#include <cstdint>

struct EnemyRecord;

class EnemyDefault : public GameObject {
public:
    static constexpr float kSpeedUnit = 0.02f * 8.0f; // per percent of the row's speed
    static constexpr float kDefaultSpeed = 8.0f;
    static constexpr int32_t kHitSound = 60;
    static constexpr int32_t kFirstDeathSound = 43; // 43-46
    // Types that burst in a middle explosion instead of a plain one.
    static constexpr int32_t kFirstMiddleType = 79;
    static constexpr int32_t kLastMiddleType = 170;

    // The row of `type` in the stage's enemy table; when the row may be
    // mirrored and the ship is right of centre, the spawn x is negated.
    EnemyDefault(GameObjectDirector* owner, int32_t type, const Mireku::Common::Vector2& spawn);

    void Update() override;
    void OnCollision(GameObject* other) override;
    uint32_t GetKind() const override { return kKindEnemy; }
    uint32_t GetCollisionGroup() const override { return 6; }

    virtual void PlayHitSound();
    virtual void PlayDeathSound();

    const EnemyRecord* GetRow() const { return row_; }
    int32_t GetType() const { return type_; }
    float GetSpeed() const { return speed_; }
    uint16_t GetDamage() const { return damage_; }
    bool IsMirrored() const { return mirrored_ != 0; }

protected:
    void Die(GameObject* killer);
    void Explode();

    const EnemyRecord* row_;
    int32_t type_;
    float speed_;
    Mireku::Common::Vector2 spawn_;
    uint16_t damage_ = 0;
    uint8_t mirrored_ = 0;
};
