#include "game/enemy/small/EnemyS004.h"

#include "game/core/tables/EnemyRecord.h"
#include "game/enemy/small/SmallEnemyRules.h"
#include "game/enemy/small/SmallEnemySprite.h"
#include "game/stage/GameObjectDirector.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace {

constexpr float kHalfPi = 0.5f * std::numbers::pi_v<float>;
constexpr int32_t kTurnLeftType = 7;

} // namespace

EnemyS004::EnemyS004(GameObjectDirector* owner, int32_t type, const Mireku::Common::Vector2& spawn)
    : EnemyDefault(owner, type, spawn) {
    turnAngle_ = type == kTurnLeftType ? -kHalfPi : kHalfPi;
    SetAngle(turnAngle_);
}

int32_t EnemyS004::TurnTime() const {
    return row_ ? row_->moveParams[1] : 0;
}

void EnemyS004::Move() {
    const int32_t half = TurnTime() / 2;
    switch (state_) {
    case kPath: {
        EnemyDefault::Move();
        const GameObjectDirector* director = GetOwner();
        if (!director)
            return;
        const float playerX = GameObjectDirector::ToScreen(director->GetPlayerPosition()).x;
        if (playerX >= screenPosition_.x - 2.0f && playerX <= screenPosition_.x + 2.0f) {
            timer_ = TurnTime();
            state_ = kTurn;
        }
        return;
    }
    case kTurn: {
        // A turn time below 2 turns in the first frame.
        const float step =
            half > 0 ? kHalfPi / static_cast<float>(half) : std::numeric_limits<float>::infinity();
        if (GetType() == kTurnLeftType) {
            turnAngle_ += step;
            if (turnAngle_ > 0.0f)
                turnAngle_ = 0.0f;
        } else {
            turnAngle_ -= step;
            if (turnAngle_ < 0.0f)
                turnAngle_ = 0.0f;
        }
        if (--timer_ == 0) {
            SetSpeed(row_ ? row_->moveParams[0] : 0);
            state_ = kDive;
        }
        if (timer_ == half)
            SmallEnemyRules::PlaySound(kTurnSound);
        SetAngle(turnAngle_);
        break;
    }
    case kDive:
        offset_.y += speed_;
        break;
    default:
        return;
    }
    flame_ = (flame_ + 1) % kFlameFrames;
    SetPositionFromVector(spawn_ + offset_);
    // The offset, not the position: the dive ends 720 pixels below the stop.
    if (std::trunc(offset_.y) > kFieldBottom)
        GameObject::Vanish();
}

void EnemyS004::Draw() {
    if ((state_ == kTurn && timer_ < TurnTime() / 2) || state_ == kDive) {
        const TexelRect& r = FrameRect(0, 1 + static_cast<uint32_t>(flame_));
        SmallEnemySprite::Rect(SpriteLayer::kEnemyBlend, GetSheet(), r,
                               {screenPosition_.x, screenPosition_.y - kFlameOffset}, scale_,
                               std::numbers::pi_v<float>);
    }
    DrawTrack(0, 0);
    DrawTrack(1, 0);
}
