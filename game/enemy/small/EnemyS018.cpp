#include "game/enemy/small/EnemyS018.h"

#include "game/core/tables/EnemyRecord.h"
#include "game/enemy/small/SmallEnemyRules.h"
#include "game/enemy/small/SmallEnemySprite.h"

#include <cmath>
#include <numbers>

EnemyS018::EnemyS018(GameObjectDirector* owner, int32_t type, const Mireku::Common::Vector2& spawn)
    : EnemyDefault(owner, type, spawn) {
    SetPositionFromVector(spawn_);
    heading_ = GetAngleToPlayer();
    SmallEnemyRules::PlaySound(kAppearSound);
}

void EnemyS018::Move() {
    switch (state_) {
    case kApproach:
        offset_ += Mireku::Common::Vector2{std::cos(heading_), std::sin(heading_)} * speed_;
        SetPositionFromVector(spawn_ + offset_);
        if (StepLengthInField(spawn_, offset_) >
            static_cast<float>(row_ ? row_->moveParams[0] : 0)) {
            state_ = kBob;
            timer_ = row_ ? row_->moveParams[1] : 0;
            bobPhase_ = 0.0f;
        }
        return;
    case kBob:
    case kBobOn: {
        const Mireku::Common::Vector2 bobbed{offset_.x,
                                             offset_.y + std::sin(bobPhase_) * kBobHeight};
        bobPhase_ += kBobStep;
        SetPositionFromVector(spawn_ + bobbed);
        // A bob time of 0 or less ends at once rather than waiting for the
        // count to wrap.
        if (--timer_ > 0)
            return;
        if (state_ == kBob) {
            state_ = kBobOn;
            timer_ = kBobOnFrames;
        } else {
            offset_ = bobbed;
            heading_ = kUp;
            state_ = kLeave;
        }
        return;
    }
    case kLeave:
        offset_ += Mireku::Common::Vector2{std::cos(heading_), std::sin(heading_)} * speed_;
        SetPositionFromVector(spawn_ + offset_);
        // Gone once off the field; else it would hold its block to the
        // stage's end.
        if (SmallEnemyRules::OffField(position_.x, position_.y))
            GameObject::Vanish();
        return;
    default:
        return;
    }
}

void EnemyS018::Draw() {
    const float angle = angle_ + std::numbers::pi_v<float>;
    SmallEnemySprite::Rect(SpriteLayer::kEnemyBlend, GetSheet(), FrameRect(0, frame_[0]),
                           screenPosition_, scale_, angle);
    SmallEnemySprite::Rect(SpriteLayer::kEnemyAdd, GetSheet(), FrameRect(1, frame_[1]),
                           screenPosition_, scale_, angle);
}

void EnemyS018::PlayDeathSound() {
    SmallEnemyRules::PlaySound(kDeathSound);
}
