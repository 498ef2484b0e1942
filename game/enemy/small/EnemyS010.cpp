#include "game/enemy/small/EnemyS010.h"

#include "game/core/tables/EnemyRecord.h"
#include "game/enemy/small/SmallEnemyRules.h"

#include <numbers>

EnemyS010::EnemyS010(GameObjectDirector* owner, int32_t type, const Mireku::Common::Vector2& spawn)
    : EnemyL015(owner, type, spawn) {
    SetAngle(heading_ - 0.5f * std::numbers::pi_v<float>);
}

void EnemyS010::Move() {
    EnemyL015::Move();
    if (state_ == kFlying) {
        if (row_ &&
            damage_ >= SmallEnemyRules::DamageThreshold(row_->moveParams[0], row_->health)) {
            SetSpeed(row_->moveParams[1]);
            state_ = kRetreat;
            GameObject::SetAngle(0.0f);
        }
        return;
    }
    if (state_ != kRetreat)
        return;
    if (retreatFrame_ < kLastRetreatFrame)
        ++retreatFrame_;
    offset_.y -= speed_;
    SetPositionFromVector(spawn_ + offset_);
    if (position_.y < 0.0f)
        GameObject::Vanish();
}

void EnemyS010::Draw() {
    DrawTrack(0, static_cast<uint32_t>(retreatFrame_));
    DrawTrack(1, static_cast<uint32_t>(retreatFrame_));
}
