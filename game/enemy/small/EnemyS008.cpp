#include "game/enemy/small/EnemyS008.h"

#include "game/core/tables/EnemyRecord.h"
#include "game/enemy/small/SmallEnemyRules.h"
#include "game/enemy/small/SmallEnemySprite.h"
#include "game/stage/GameObjectDirector.h"

#include <cmath>

namespace {

// The picture of each warp-in frame, 1-6; 0 ends the warp-in.
constexpr int32_t kWarpInImages[] = {1, 2, 2, 3, 3, 3, 4, 4, 4, 5, 5, 5, 5, 6, 6, 6, 6, 0};
constexpr int32_t kWarpInLength =
    static_cast<int32_t>(sizeof kWarpInImages / sizeof kWarpInImages[0]);
constexpr float kDegree = 0.017453292f;

} // namespace

EnemyS008::EnemyS008(GameObjectDirector* owner, int32_t type, const Mireku::Common::Vector2& centre,
                     float angle)
    : EnemyDefault(owner, type, centre), ringAngle_(angle) {
    offset_ = Mireku::Common::Vector2{std::cos(angle), std::sin(angle)} * kRadius;
    const Mireku::Common::Vector2 at = spawn_ + offset_;
    SetPosition(at.x, at.y);
    SmallEnemyRules::PlaySound(kAppearSound);
}

void EnemyS008::Move() {
    switch (state_) {
    case kWarpIn:
        warpImage_ = warpStep_ < kWarpInLength ? kWarpInImages[warpStep_] : 0;
        ++warpStep_;
        if (warpImage_ == 0)
            state_ = kSpiral;
        return;
    case kSpiral:
        offset_ = Mireku::Common::Vector2{std::cos(ringAngle_), std::sin(ringAngle_)} * radius_;
        ringAngle_ -= static_cast<float>(row_ ? row_->moveParams[1] : 0) * kDegree;
        radius_ -= speed_;
        SetPositionFromVector(spawn_ + offset_);
        if (radius_ <= 0.0f)
            state_ = kOut;
        return;
    case kOut:
        offset_ = Mireku::Common::Vector2{std::cos(ringAngle_), std::sin(ringAngle_)} * radius_;
        radius_ += speed_;
        SetPositionFromVector(spawn_ + offset_);
        if (SmallEnemyRules::OffField(position_.x, position_.y))
            GameObject::Vanish();
        return;
    default:
        return;
    }
}

void EnemyS008::Draw() {
    if (state_ != kWarpIn) {
        EnemyDefault::Draw();
        return;
    }
    if (warpImage_ == 0)
        return;
    SmallEnemySprite::Warp(GetOwner(), SpriteLayer::kEnemyAdd, kFirstWarpTexture + warpImage_ - 1,
                           screenPosition_);
}

void EnemyS008::PlayDeathSound() {
    SmallEnemyRules::PlaySound(kDeathSound);
}
