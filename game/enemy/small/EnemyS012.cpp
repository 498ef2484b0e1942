#include "game/enemy/small/EnemyS012.h"

#include "game/core/tables/EnemyRecord.h"
#include "game/enemy/small/SmallEnemyRules.h"
#include "game/enemy/small/SmallEnemySprite.h"
#include "game/stage/GameObjectDirector.h"

#include <cmath>
#include <numbers>

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

} // namespace

EnemyS012::EnemyS012(GameObjectDirector* owner, int32_t type, const Mireku::Common::Vector2& spawn)
    : EnemyDefault(owner, type, spawn) {
    SetEmittersEnabled(false);
}

void EnemyS012::Move() {
    if (!AreEmittersEnabled() && row_ && damage_ != 0 &&
        damage_ >= SmallEnemyRules::DamageThreshold(row_->moveParams[1], row_->health))
        SetEmittersEnabled(true);

    switch (state_) {
    case kFall: {
        offset_.y += speed_;
        SetPositionFromVector(spawn_ + offset_);
        if (position_.y > kFieldBottom) {
            GameObject::Vanish();
            return;
        }
        const GameObjectDirector* director = GetOwner();
        if (!director)
            return;
        const Mireku::Common::Vector2 player = director->GetPlayerPosition();
        // About ten frames from the player's height at this speed.
        const float s = speed_, ahead = position_.y + 10.0f * s;
        if (player.y - s < ahead && ahead < player.y + s) {
            turnAngle_ = 0.0f;
            turnStep_ = position_.x <= player.x ? -kTurnStep : kTurnStep;
            counter_ = kTurnFrames;
            state_ = kTurn;
        }
        return;
    }
    case kTurn:
        turnAngle_ += turnStep_;
        SetAngle(turnAngle_);
        offset_.y += speed_;
        SetPositionFromVector(spawn_ + offset_);
        if (position_.y > kFieldBottom) {
            GameObject::Vanish();
            return;
        }
        if (--counter_ == 0)
            state_ = kDash;
        return;
    case kDash: {
        const float direction = turnAngle_ + 0.5f * kPi;
        offset_ += Mireku::Common::Vector2{std::cos(direction), std::sin(direction)} * speed_;
        SetPositionFromVector(spawn_ + offset_);
        if (position_.x < -kFieldHalfWidth || position_.x > kFieldHalfWidth)
            GameObject::Vanish();
        return;
    }
    default:
        return;
    }
}

void EnemyS012::Draw() {
    const float angle = angle_ + kPi;
    SmallEnemySprite::Rect(SpriteLayer::kEnemyBlend, GetSheet(), FrameRect(0, frame_[0]),
                           screenPosition_, scale_, angle);
    const float health = row_ && row_->health != 0 ? static_cast<float>(row_->health) : 1.0f;
    const auto alpha = static_cast<int32_t>((1.0f - static_cast<float>(damage_) / health) * 255.0f);
    SmallEnemySprite::Rect(SpriteLayer::kEnemyAdd, GetSheet(), FrameRect(1, frame_[1]),
                           screenPosition_, scale_, angle, SpriteQuad::WhiteWithAlpha(alpha));
}

void EnemyS012::PlayDeathSound() {
    SmallEnemyRules::PlaySound(kDeathSound);
}
