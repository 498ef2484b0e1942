#include "game/enemy/small/EnemyS011.h"

#include "game/core/tables/EnemyRecord.h"

#include <cmath>

void EnemyS011::Move() {
    switch (state_) {
    case kApproach:
    case kHover:
        EnemyL017::Move();
        return;
    case kLeave:
        // The hover is over: aim once and dive instead of leaving upward.
        SetSpeed(row_ ? row_->moveParams[1] : 0);
        heading_ = GetAngleToPlayer();
        state_ = kDive;
        [[fallthrough]];
    case kDive:
        speed_ += kAcceleration;
        offset_ += Mireku::Common::Vector2{std::cos(heading_), std::sin(heading_)} * speed_;
        SetPositionFromVector(spawn_ + offset_);
        if (position_.y > kFieldBottom)
            GameObject::Vanish();
        return;
    default:
        return;
    }
}

void EnemyS011::Draw() {
    const uint32_t frame = state_ >= kLeave ? 1u : 0u; // diving
    DrawTrack(0, frame);
    DrawTrack(1, frame);
}
