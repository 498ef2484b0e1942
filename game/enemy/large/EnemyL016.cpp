#include "game/enemy/large/EnemyL016.h"

#include "game/core/SoundManager.h"
#include "game/core/tables/EnemyRecord.h"

#include <cmath>
#include <numbers>

namespace {

constexpr float kDown = std::numbers::pi_v<float> * 0.5f;

void Play(int32_t id) {
    if (SoundManager* s = SoundManager::GetInstance())
        s->PlaySE(id, false);
}

} // namespace

EnemyL016::EnemyL016(GameObjectDirector* owner, int32_t type,
                     const Mireku::Common::Vector2& spawn)
    : EnemyDefault(owner, type, spawn) {
    SetPositionFromVector(spawn_);
    heading_ = GetAngleToPlayer();
    lifeTimer_ = row_ ? row_->moveParams[3] : 0;
}

void EnemyL016::Move() {
    // The life time runs in every state; 0 from the start counts on below
    // 0 and never sends it off. The subtraction wraps rather than overflows.
    lifeTimer_ = static_cast<int32_t>(static_cast<uint32_t>(lifeTimer_) - 1u);
    if (lifeTimer_ == 0) {
        state_ = kLeave;
        heading_ = kDown;
    }
    if (state_ < kDeathStart) {
        if (static_cast<int32_t>(damage_) != lastDamage_) {
            lastDamage_ = damage_;
            hitThisFrame_ = 1;
            return; // a hit holds it where it is for the frame
        }
        hitThisFrame_ = 0;
    }
    const float burst = row_ ? static_cast<float>(row_->moveParams[0]) : 0.0f;
    switch (state_) {
    case kBurst: {
        const Mireku::Common::Vector2 step =
            Mireku::Common::Vector2{std::cos(heading_), std::sin(heading_)} * speed_;
        offset_ += step;
        travelled_ += step;
        if (travelled_.Length() > burst) {
            pauseTimer_ = row_ ? row_->moveParams[1] : 0;
            state_ = kPause;
            travelled_ = {0.0f, 0.0f};
        }
        break;
    }
    case kPause:
        if (--pauseTimer_ <= 0) {
            heading_ = GetAngleToPlayer();
            state_ = kBurst;
        }
        break;
    case kLeave:
        offset_ += Mireku::Common::Vector2{std::cos(heading_), std::sin(heading_)} * speed_;
        break;
    case kDeathStart:
        frame_[0] = kDeathFrame;
        frameCounter_[0] = 0;
        state_ = kDying;
        return;
    case kDying:
        if (frame_[0] > 7)
            GameObject::Vanish();
        return;
    default:
        break;
    }
    SetPositionFromVector(spawn_ + offset_);
    // Truncated in float: a damaged row (a negative largest scale) and a
    // hit far past the health swell the body past every integer.
    const float reach = std::trunc(static_cast<float>(BodyHeight() + 1) * scale_ * 0.5f);
    if (position_.y - reach > 720.0f)
        GameObject::Vanish();
}

void EnemyL016::Animate() {
    if (state_ < kDeathStart) {
        StepTrack(0, true, 3);
        StepTrack(1, true, 3);
        return;
    }
    StepTrack(0, false, 0);
}

float EnemyL016::SwellScale() const {
    if (!row_)
        return 1.0f;
    const float largest = static_cast<float>(row_->moveParams[2]);
    const float whole = static_cast<float>(row_->health) * 0.7f;
    // A row without health has nothing to divide by: it keeps its size.
    const float part = whole > 0.0f ? static_cast<float>(damage_) / whole : 0.0f;
    const float scale = 1.0f + part * (largest - 1.0f);
    return scale > largest ? largest : scale;
}

void EnemyL016::Draw() {
    SetScale(SwellScale());
    if (hitThisFrame_) {
        DrawTrack(0, kHitFrame);
        return;
    }
    DrawTrack(0, frame_[0]);
    if (state_ < kDeathStart)
        DrawTrack(1, frame_[1]);
}

void EnemyL016::Vanish() {
    if (state_ < kDeathStart)
        state_ = kDeathStart;
}

void EnemyL016::PlayHitSound() {
    Play(kHitSound);
}

void EnemyL016::PlayDeathSound() {
    Play(kDeathSound);
}
