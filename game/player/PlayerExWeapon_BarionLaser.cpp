#include "game/player/PlayerExWeapon_BarionLaser.h"

#include "game/core/SpriteQuad.h"
#include "game/core/tables/ShipParamRow.h"
#include "game/stage/CollisionGroups.h"
#include "game/stage/FieldSprite.h"
#include "game/stage/StageTextureTable.h"

#include <algorithm>
#include <cmath>
#include <numbers>

using Mireku::Common::Vector2;

namespace {

constexpr float kStripWidth = 144.0f;
constexpr float kStripHeight = 1416.0f;
constexpr uint8_t kFramesPerStrip = 3;
constexpr uint8_t kStrips = 3;

} // namespace

PlayerExWeapon_BarionLaser::PlayerExWeapon_BarionLaser(GameObjectDirector* owner, Player* player,
                                                       const Vector2& start, float angle,
                                                       const ShipParamRow* row)
    : PlayerShotBase(owner), row_(row), player_(player), start_(start),
      direction_(std::cos(angle), std::sin(angle)) {
    SetAngle(angle - std::numbers::pi_v<float> * 0.5f);
    SetPositionFromVector(start);
}

int32_t PlayerExWeapon_BarionLaser::Duration(const ShipParamRow* row) {
    return std::clamp<int32_t>(row ? row->laserLife : 0, kShortestDuration, kLongestDuration);
}

float PlayerExWeapon_BarionLaser::HalfWidth(uint8_t state, uint8_t counter, int32_t duration) {
    if (state != kActive)
        return kHalfWidth;
    return kHalfWidth - kHalfWidth * static_cast<float>(counter) / static_cast<float>(duration);
}

uint32_t PlayerExWeapon_BarionLaser::GetCollisionGroup() const {
    return CollisionGroups::kPlayerShots;
}

int16_t PlayerExWeapon_BarionLaser::GetAttackPower() const {
    return row_ ? row_->laserAttack : 0;
}

void PlayerExWeapon_BarionLaser::Update() {
    if (state_ == kExtending) {
        SetHitShapeActive(false);
        SetPositionFromVector(position_ - direction_ * kExtendStep);
        if (++counter_ == kExtendFrames) {
            counter_ = 0;
            state_ = kActive;
        }
        return;
    }
    SetHitShapeActive(true);
    SetHitSegment(start_.x - position_.x, start_.y - position_.y);
    if (owner_)
        owner_->RegisterCollision(GetCollisionGroup(), this);
    if (++counter_ >= Duration(row_))
        Vanish();
}

void PlayerExWeapon_BarionLaser::Draw() {
    const float w = HalfWidth(state_, counter_, Duration(row_));
    const Vector2 across{direction_.y * w, -direction_.x * w};
    const Vector2 head = GameObjectDirector::ToScreen(position_);
    const Vector2 tail = GameObjectDirector::ToScreen(start_);
    const uint8_t strip = static_cast<uint8_t>(counter_ / kFramesPerStrip % kStrips);
    SpriteQuad::Corners(FieldSprite::Layer(SpriteLayer::kPlayerShotAdd),
                        FieldSprite::Texture(owner_, StageTextureSlot::kBarionBeam),
                        SpriteQuad::kAdd, kStripWidth * static_cast<float>(strip), 0.0f,
                        kStripWidth, kStripHeight, head - across, head + across, tail - across,
                        tail + across);
}
