#include "game/enemy/large/EnemyL017.h"

#include "game/core/RandomManager.h"
#include "game/core/tables/EnemyRecord.h"

#include <cmath>
#include <numbers>

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

float PlayFloat() {
    RandomManager* random = RandomManager::GetInstance();
    return random ? random->RangeFloat(RandomManager::kPlay, 0.0f, 1.0f) : 0.0f;
}

} // namespace

EnemyL017::EnemyL017(GameObjectDirector* owner, int32_t type,
                     const Mireku::Common::Vector2& spawn)
    : EnemyDefault(owner, type, spawn) {
    SetPositionFromVector(spawn_);
    const float r1 = PlayFloat();
    const float r2 = PlayFloat();
    const float tx = r1 * 624.0f + 48.0f, ty = r2 * 232.0f + 47.0f;
    heading_ = std::atan2(ty - screenPosition_.y, tx - screenPosition_.x);
    hoverTimer_ = row_ ? row_->moveParams[0] : 0;
    const float dx = tx - (spawn.x + 360.0f), dy = ty - spawn.y;
    approachDistance_ = std::sqrt(dx * dx + dy * dy);
}

void EnemyL017::NewDriftAngle() {
    int32_t degrees = 0;
    if (RandomManager* random = RandomManager::GetInstance())
        degrees = random->RangeInt(RandomManager::kPlay, 0, 360);
    driftAngle_ = static_cast<float>(degrees) * kPi / 180.0f;
}

void EnemyL017::Move() {
    switch (state_) {
    case kApproach:
        offset_ += Mireku::Common::Vector2{std::cos(heading_), std::sin(heading_)} * speed_;
        if (offset_.Length() > approachDistance_) {
            state_ = kHover;
            driftTimer_ = 0;
            NewDriftAngle();
        }
        break;
    case kHover:
        // A 32-bit count: a hover time of 0 hovers until it wraps round.
        hoverTimer_ = static_cast<int32_t>(static_cast<uint32_t>(hoverTimer_) - 1u);
        if (hoverTimer_ == 0) {
            speed_ = SpeedOf(row_ ? row_->moveParams[1] : 0);
            heading_ += kPi;
            state_ = kLeave;
        }
        if (++driftTimer_ > kDriftFrames) {
            driftTimer_ = 0;
            NewDriftAngle();
        }
        offset_ += Mireku::Common::Vector2{std::cos(driftAngle_), std::sin(driftAngle_)} *
                   kDriftSpeed;
        break;
    case kLeave:
        offset_ += Mireku::Common::Vector2{std::cos(heading_), std::sin(heading_)} * speed_;
        if (position_.y < 0.0f)
            GameObject::Vanish();
        break;
    default:
        return;
    }
    SetPositionFromVector(spawn_ + offset_);
}
