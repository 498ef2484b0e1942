#include "game/player/PlayerSubWeapon_SW002.h"

#include "game/core/GameObjectAllocator.h"
#include "game/core/SpriteQuad.h"
#include "game/player/PlayerSubWeapon_SW002HitFx.h"
#include "game/player/PlayerSubWeapon_SW002HitFx2.h"
#include "game/stage/FieldSprite.h"
#include "game/stage/StageTextureTable.h"

#include <cmath>
#include <new>
#include <numbers>

using Mireku::Common::Vector2;

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kLongestPull = 500.0f;
constexpr float kReleasedAimDistance = 2000.0f;
constexpr float kRibbonHalfWidth = 24.0f;
constexpr float kRibbonTexWidth = 48.0f;
constexpr float kRibbonTexLength = 1024.0f;
constexpr float kSightSize = 128.0f;
constexpr int16_t kTimerFrames = 3;

static_assert(PlayerSubWeapon_SW002::kTrailPoints * sizeof(Vector2) <=
                  GameObjectAllocator::kBlockSize,
              "the trail fits one pool block");

Vector2 ToScreen(const Vector2& v) {
    return GameObjectDirector::ToScreen(v);
}

} // namespace

PlayerSubWeapon_SW002* PlayerSubWeapon_SW002::Launch(GameObjectDirector* owner, Player* player,
                                                     GameObject* target, const Vector2& aim,
                                                     const Vector2& velocity, const Vector2& launch,
                                                     const ShipParamRow* row) {
    if (!owner || !owner->IsAcceptingChildren())
        return nullptr;
    auto* laser = GameObject::Create<PlayerSubWeapon_SW002>(nullptr, owner, player, target, aim,
                                                            velocity, launch, row);
    if (!laser)
        return nullptr;
    // Without its trail the laser is not made: its own block goes back.
    if (!laser->HasTrail()) {
        delete laser;
        return nullptr;
    }
    owner->AddChild(laser);
    return laser;
}

PlayerSubWeapon_SW002::PlayerSubWeapon_SW002(GameObjectDirector* owner, Player* player,
                                             GameObject* target, const Vector2& aim,
                                             const Vector2& velocity, const Vector2& launch,
                                             const ShipParamRow* row)
    : SubWeaponObject(owner, player, row), target_(target), aim_(aim), previous_(launch),
      velocity_(velocity) {
    GameObjectAllocator* pool = GameObjectAllocator::GetInstance();
    void* block = pool ? pool->Allocate() : nullptr;
    if (!block)
        return;
    trail_ = static_cast<Vector2*>(block);
    for (int32_t i = 0; i < kTrailPoints; ++i)
        new (&trail_[i]) Vector2(launch);
    topSpeed_ = static_cast<float>(Row().sub2MaxSpeed);
    CountOnPlayer();
    velocity_ = velocity_.Normalize() * topSpeed_;
    SetPositionFromVector(launch);
    SetHitShapeActive(false);
}

PlayerSubWeapon_SW002::~PlayerSubWeapon_SW002() {
    if (!trail_)
        return;
    if (GameObjectAllocator* pool = GameObjectAllocator::GetInstance())
        pool->Free(trail_);
    trail_ = nullptr;
}

void PlayerSubWeapon_SW002::Update() {
    if (!trail_)
        return;
    if (sight_ < kSightFrames)
        ++sight_;
    Track();
    if (++age_ < kSteerFrames)
        Steer();
    previous_ = position_;
    SetPositionFromVector(position_ + velocity_);
    if (!TrailInsideMap())
        Vanish();
    PushTrail();
    if (arming_ > 0 && --arming_ == 0)
        SetHitShapeActive(true);
    SetHitBox(0, 0, kHitSize, kHitSize);
    RegisterHit();
}

void PlayerSubWeapon_SW002::Track() {
    if (!target_)
        return;
    // A dead target is not read again: it may be on its way back to the pool.
    if (target_->IsAlive()) {
        const Vector2 at = *target_->GetPosition();
        if ((at - position_).LengthSquared() >= kReleaseDistance * kReleaseDistance) {
            aim_ = at;
            return;
        }
    }
    // Gone, going or passed: fly on straight ahead.
    aim_ = position_ + (position_ - previous_).Normalize() * kReleasedAimDistance;
    target_ = nullptr;
}

void PlayerSubWeapon_SW002::Steer() {
    const float t = static_cast<float>(age_) / static_cast<float>(kSteerFrames) * 0.9f + 0.1f;
    Vector2 pull = aim_ - position_;
    const float distance = pull.Length();
    if (distance > kLongestPull)
        pull = pull * (kLongestPull / distance);
    velocity_ += (pull - velocity_) * (t * t);
    const float speed = velocity_.Length();
    if (speed > topSpeed_)
        velocity_ = velocity_ * (topSpeed_ / speed);
    else if (speed < kMinSpeed && speed > 0.0f)
        velocity_ = velocity_ * (kMinSpeed / speed);
}

bool PlayerSubWeapon_SW002::TrailInsideMap() const {
    const float half = owner_ ? owner_->GetHalfMapWidth() : 0.0f;
    const float height = owner_ ? owner_->GetMapHeight() : 0.0f;
    for (int32_t i = 0; i < kTrailPoints; ++i) {
        const Vector2& p = trail_[i];
        if (p.x > -half && p.x < half && p.y > 0.0f && p.y < height)
            return true;
    }
    return false;
}

void PlayerSubWeapon_SW002::PushTrail() {
    if (fill_ > 0) {
        trail_[--fill_] = position_;
        return;
    }
    for (int32_t i = kTrailPoints - 1; i > 0; --i)
        trail_[i] = trail_[i - 1];
    trail_[0] = position_;
}

void PlayerSubWeapon_SW002::OnCollision(GameObject* other) {
    if (!other)
        return;
    if (other->timer == 0) {
        other->timer = kTimerFrames;
        GameObject::Create<PlayerSubWeapon_SW002HitFx2>(owner_, owner_, position_);
    }
    // Enemy shots never meet the player-shot group; were one to, the laser
    // would burst, pass through and arm again.
    if (other->GetKind() == kKindEnemyShot) {
        GameObject::Create<PlayerSubWeapon_SW002HitFx>(owner_, owner_, position_, row_);
        arming_ = kArmingFrames;
        SetHitShapeActive(false);
    }
}

void PlayerSubWeapon_SW002::Draw() {
    if (!trail_)
        return;
    DrawRibbon();
    DrawSight();
}

void PlayerSubWeapon_SW002::DrawRibbon() const {
    const int32_t m = kTrailPoints - fill_;
    if (m < 2)
        return;
    Vector2 points[kTrailPoints];
    Vector2 offsets[kTrailPoints];
    for (int32_t k = 0; k < m; ++k)
        points[k] = ToScreen(trail_[fill_ + k]);
    for (int32_t k = 0; k < m; ++k) {
        const Vector2 d = points[k + 1 < m ? k + 1 : m - 1] - points[k > 0 ? k - 1 : 0];
        const float angle = std::atan2(d.y, d.x) + kPi * 0.5f;
        offsets[k] = Vector2{std::cos(angle), std::sin(angle)} * kRibbonHalfWidth;
    }
    Mireku::Renderer::SpriteRenderer* layer = FieldSprite::Layer(SpriteLayer::kPlayerShotAdd);
    Mireku::Graphics::Texture* texture =
        FieldSprite::Texture(owner_, StageTextureSlot::kSub2Ribbon);
    const float step = kRibbonTexLength / static_cast<float>(m - 1);
    for (int32_t k = 0; k + 1 < m; ++k)
        SpriteQuad::Corners(layer, texture, SpriteQuad::kAdd, 0.0f, step * static_cast<float>(k),
                            kRibbonTexWidth, step, points[k] + offsets[k], points[k] - offsets[k],
                            points[k + 1] + offsets[k + 1], points[k + 1] - offsets[k + 1]);
}

void PlayerSubWeapon_SW002::DrawSight() const {
    const float s = static_cast<float>(sight_);
    const Vector2 at = ToScreen(aim_);
    SpriteQuad::Centred(FieldSprite::Layer(SpriteLayer::kEnemyAdd),
                        FieldSprite::Texture(owner_, StageTextureSlot::kSub2Sight),
                        SpriteQuad::kAdd, 0.0f, 0.0f, kSightSize, kSightSize, at.x, at.y,
                        1.5f - 0.05f * s,
                        -(kPi * 0.5f) * (1.0f - s / static_cast<float>(kSightFrames)));
}
