// The base of every ordinary enemy: the emitter grid of its row of the
// stage's enemy table, the row itself, its number and a movement speed, and
// the small helpers the enemy classes share. Kind 4; update and draw belong
// to the classes.
#pragma once

#include "engine/common/Vector2.h"
#include "game/enemy/common/EBSS_Driver.h"

#include <cstdint>

struct EnemyRecord;

class EnemyBase : public EBSS_Driver {
public:
    static constexpr float kSpeedPercent = 0.02f;
    static constexpr float kSpeedScale = 8.0f;
    static constexpr float kDefaultSpeed = 8.0f;
    static constexpr float kFieldHalfWidth = 360.0f;
    static constexpr float kFieldBottom = 720.0f;

    EnemyBase(GameObjectDirector* owner, int32_t row);

    uint32_t GetKind() const override { return kKindEnemy; }

    // speed = value x 0.02 x 8 in single precision; 8.0 when that is not
    // positive.
    void SetSpeed(int32_t value);
    // Towards the ship, in radians, from the screen positions of both (the
    // field's top centre when there is no ship).
    float GetAngleToPlayer();
    // The step's length when position + step lies in the field (bounds
    // included), else 0.
    static float StepLengthInField(const Mireku::Common::Vector2& position,
                                   const Mireku::Common::Vector2& step);

    const EnemyRecord* GetRow() const { return row_; }
    uint32_t GetRowNumber() const { return rowNumber_; }
    float GetSpeed() const { return speed_; }

protected:
    const EnemyRecord* row_;
    uint32_t rowNumber_;
    float speed_ = kDefaultSpeed;
};
