#include "game/enemy/large/EnemyL018.h"

#include "game/core/RandomManager.h"
#include "game/core/tables/EnemyRecord.h"
#include "game/stage/GameObjectDirector.h"

#include <cmath>
#include <numbers>

namespace {

float PlayFloat() {
    RandomManager* random = RandomManager::GetInstance();
    return random ? random->RangeFloat(RandomManager::kPlay, 0.0f, 1.0f) : 0.0f;
}

} // namespace

EnemyL018::EnemyL018(GameObjectDirector* owner, int32_t type,
                     const Mireku::Common::Vector2& spawn)
    : EnemyL017(owner, type, spawn) {
    const float rx = PlayFloat();
    const float ry = PlayFloat();
    targetOffset_ = {rx * 100.0f - 50.0f, ry * 100.0f - 50.0f};
}

void EnemyL018::Move() {
    const GameObjectDirector* director = GetOwner();
    const Mireku::Common::Vector2 player = GameObjectDirector::ToScreen(
        director ? director->GetPlayerPosition() : Mireku::Common::Vector2{0.0f, 0.0f});
    ring_[writeIndex_] = player + targetOffset_;
    writeIndex_ = (writeIndex_ + 1) % kRing;
    const int32_t dive = row_ ? row_->speed : 0;
    switch (state_) {
    case kApproach:
    case kHover:
        EnemyL017::Move();
        if (state_ == kLeave)
            speed_ = SpeedOf(dive);
        return;
    case kStartChase:
        speed_ = SpeedOf(row_ ? row_->moveParams[2] : 0);
        readIndex_ = writeIndex_ - 1;
        if (readIndex_ < 0)
            readIndex_ += kRing;
        chaseTimer_ = 0;
        state_ = kChase;
        [[fallthrough]];
    case kChase: {
        if (++chaseTimer_ > (row_ ? row_->moveParams[1] : 0)) {
            speed_ = SpeedOf(dive);
            state_ = kDive;
        }
        const Mireku::Common::Vector2& target = ring_[readIndex_];
        heading_ = std::atan2(target.y - screenPosition_.y, target.x - screenPosition_.x);
        readIndex_ = (readIndex_ + 1) % kRing;
        offset_ += Mireku::Common::Vector2{std::cos(heading_), std::sin(heading_)} * speed_;
        SetPositionFromVector(spawn_ + offset_);
        return;
    }
    case kDive:
        offset_.y += speed_;
        SetPositionFromVector(spawn_ + offset_);
        if (position_.y > 720.0f)
            GameObject::Vanish();
        return;
    default:
        return;
    }
}

void EnemyL018::Rotate() {
    if (state_ >= kDive)
        SetAngle(std::numbers::pi_v<float>);
    else
        EnemyDefault::Rotate();
}
