#include "game/enemy/small/EnemyS009.h"

#include "game/core/tables/EnemyRecord.h"
#include "game/enemy/small/SmallEnemyRules.h"

#include <cmath>
#include <numbers>

EnemyS009::EnemyS009(GameObjectDirector* owner, int32_t type, const Mireku::Common::Vector2& spawn)
    : EnemyDefault(owner, type, spawn) {
    SetPositionFromVector(spawn_);
    heading_ = GetAngleToPlayer();
    SetAngle(heading_ + 0.5f * std::numbers::pi_v<float>);
}

void EnemyS009::Move() {
    // The step of this frame, at the speed the frame starts with.
    const Mireku::Common::Vector2 v =
        Mireku::Common::Vector2{std::cos(heading_), std::sin(heading_)} * speed_;
    switch (state_) {
    case kApproach:
        offset_ += v;
        SetPositionFromVector(spawn_ + offset_);
        // Only distance flown inside the field counts.
        travelled_ = StepLengthInField(spawn_, offset_);
        if (travelled_ > static_cast<float>(row_ ? row_->moveParams[0] : 0)) {
            state_ = kHalt;
            timer_ = row_ ? row_->moveParams[1] : 0;
        }
        break;
    case kHalt:
        // A halt time of 0 or less ends at once rather than waiting for the
        // count to wrap.
        if (--timer_ <= 0) {
            SetSpeed(row_ ? row_->moveParams[2] : 0);
            state_ = kDash;
        }
        break;
    case kDash:
        offset_ += v;
        SetPositionFromVector(spawn_ + offset_);
        if (SmallEnemyRules::OffField(position_.x, position_.y))
            GameObject::Vanish();
        break;
    default:
        break;
    }
}
