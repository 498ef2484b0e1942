#include "game/enemy/large/EnemyL015.h"

#include "game/core/RandomManager.h"
#include "game/core/SoundManager.h"
#include "game/core/tables/EnemyRecord.h"

#include <cmath>

EnemyL015::EnemyL015(GameObjectDirector* owner, int32_t type, const Mireku::Common::Vector2& spawn)
    : EnemyDefault(owner, type, spawn) {
    SetPositionFromVector(spawn_);
    heading_ = GetAngleToPlayer();
    if (type == kType)
        PickSpeed();
}

void EnemyL015::PickSpeed() {
    if (!row_)
        return;
    // One of three speeds; a row that leaves the second or third at 0 has
    // only its first.
    int32_t speeds[3] = {row_->speed, row_->moveParams[0], row_->moveParams[1]};
    if (speeds[1] == 0 || speeds[2] == 0)
        speeds[1] = speeds[2] = speeds[0];
    uint32_t r = 0;
    if (RandomManager* random = RandomManager::GetInstance())
        r = random->Next(RandomManager::kPlay);
    speed_ = SpeedOf(speeds[r % 101 % 3]);
}

void EnemyL015::Move() {
    if (state_ != kFlying)
        return;
    offset_ += Mireku::Common::Vector2{std::cos(heading_), std::sin(heading_)} * speed_;
    SetPositionFromVector(spawn_ + offset_);
    const int32_t halfWidth = BodyWidth() / 2, halfHeight = BodyHeight() / 2;
    const float x = position_.x, y = position_.y;
    if (y - static_cast<float>(halfHeight) > 720.0f || y + static_cast<float>(halfHeight) < 0.0f ||
        x - static_cast<float>(halfWidth) > 360.0f || x + static_cast<float>(halfWidth) < -360.0f)
        GameObject::Vanish();
}

void EnemyL015::PlayDeathSound() {
    if (SoundManager* s = SoundManager::GetInstance())
        s->PlaySE(kDeathSound, false);
}
