#include "game/player/PlayerExWeapon_BarionLaserBase.h"

#include "game/core/RandomManager.h"
#include "game/core/SpriteQuad.h"
#include "game/core/tables/TexelRect.h"
#include "game/player/Player.h"
#include "game/player/PlayerExWeapon_BarionLaser.h"
#include "game/player/PlayerExWeapon_BarionLaserFx.h"
#include "game/stage/FieldSprite.h"
#include "game/stage/StageTextureTable.h"

#include <numbers>

using Mireku::Common::Vector2;

const PlayerExWeapon_BarionLaserBase::Beam PlayerExWeapon_BarionLaserBase::kVolley[kBeams] = {
    {16, -33, 0, false},   {16, -79, 5, true},     {28, -66, 10, true},   {45, -63, 15, true},
    {48, -32, 20, true},   {-16, -33, 0, false},   {-16, -79, -5, true},  {-28, -66, -10, true},
    {-45, -63, -15, true}, {-48, -32, -20, true},  {47, 23, 0, false},    {56, 60, 0, true},
    {54, 130, 5, true},    {70, 178, 10, true},    {81, 144, 55, true},   {101, 108, 45, true},
    {103, 72, 20, true},   {137, 69, 30, true},    {164, 56, 35, true},   {204, 40, 50, true},
    {-47, 23, 0, false},   {-56, 60, 0, true},     {-54, 130, -5, true},  {-70, 178, -10, true},
    {-81, 144, -55, true}, {-101, 108, -45, true}, {-103, 72, -20, true}, {-137, 69, -30, true},
    {-164, 56, -35, true}, {-204, 40, -50, true},
};

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
// Up to 10 degrees either way.
constexpr float kJitterSpan = 0.34906587f;
constexpr float kJitterLow = 0.17453294f;

constexpr TexelRect kMuzzle[PlayerExWeapon_BarionLaserBase::kImages] = {
    {0, 0, 479, 335},     {480, 0, 959, 335},  {0, 336, 479, 671},
    {480, 336, 959, 671}, {0, 672, 479, 1007}, {480, 672, 959, 1007},
};

} // namespace

PlayerExWeapon_BarionLaserBase::PlayerExWeapon_BarionLaserBase(GameObjectDirector* owner,
                                                               Player* player,
                                                               const ShipParamRow* row)
    : GameObject(owner), row_(row), player_(player) {
    if (player_) {
        count_.Join(owner, &player_->laserCount);
        SetPositionFromVector(*player_->GetPosition());
    }
    GameObject::Create<PlayerExWeapon_BarionLaserFx>(owner, owner, position_);
}

void PlayerExWeapon_BarionLaserBase::Update() {
    if (player_)
        SetPositionFromVector(*player_->GetPosition());
    switch (state_) {
    case kCharge:
        if (++counter_ == kChargeFrames) {
            frame_ = 1;
            state_ = kFiring;
            FireVolley();
        }
        break;
    case kFiring:
        // Left on reaching the duration or beyond, never by equality alone.
        if (++counter_ >= PlayerExWeapon_BarionLaser::Duration(row_)) {
            counter_ = 0;
            frame_ = 2;
            state_ = kClosing;
        }
        break;
    default:
        if (++counter_ == kFramesPerClosingImage) {
            counter_ = 0;
            if (++frame_ >= kImages)
                Vanish();
        }
        break;
    }
}

void PlayerExWeapon_BarionLaserBase::FireVolley() {
    RandomManager* random = RandomManager::GetInstance();
    for (const Beam& beam : kVolley) {
        const Vector2 start =
            position_ + Vector2{static_cast<float>(beam.dx), static_cast<float>(beam.dy)};
        float angle = static_cast<float>(beam.degrees) * kPi / 180.0f + kPi * 0.5f;
        if (beam.jitter && random)
            angle +=
                random->RangeFloat(RandomManager::kPlay, 0.0f, 1.0f) * kJitterSpan - kJitterLow;
        GameObject::Create<PlayerExWeapon_BarionLaser>(owner_, owner_, player_, start, angle, row_);
    }
}

void PlayerExWeapon_BarionLaserBase::Draw() {
    if (frame_ >= kImages)
        return;
    const TexelRect& r = kMuzzle[frame_];
    SpriteQuad::Place(FieldSprite::Layer(SpriteLayer::kPlayerShotFx),
                      FieldSprite::Texture(owner_, StageTextureSlot::kBarionMuzzle),
                      FieldSprite::BlendOf(SpriteLayer::kPlayerShotFx), r.left, r.top, r.Width(),
                      r.Height(), screenPosition_.x - r.Width() * 0.5f,
                      screenPosition_.y - r.Height() * 0.5f + kMuzzleBelow, r.Width(), r.Height());
}
