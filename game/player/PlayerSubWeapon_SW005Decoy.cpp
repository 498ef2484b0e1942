#include "game/player/PlayerSubWeapon_SW005Decoy.h"

#include "game/core/SpriteQuad.h"
#include "game/player/PlayerSubWeapon_SW005.h"
#include "game/player/PlayerSubWeapon_SW005Fx.h"
#include "game/stage/FieldSprite.h"
#include "game/stage/StageTextureTable.h"

namespace {

// The ship's sheet: the ghost's body, then its glow below it.
constexpr float kCellU = 192.0f;
constexpr float kBodyV = 0.0f;
constexpr float kGlowV = 96.0f;

} // namespace

PlayerSubWeapon_SW005Decoy::PlayerSubWeapon_SW005Decoy(GameObjectDirector* owner, Player* player,
                                                       const ShipParamRow* row,
                                                       const Mireku::Common::Vector2& targetOffset)
    : SubWeaponObject(owner, player, row), targetOffset_(targetOffset) {
    base_ = PlayerPosition();
    CountOnPlayer();
    SetPositionFromVector(base_ + offset_);
}

void PlayerSubWeapon_SW005Decoy::Update() {
    const Mireku::Common::Vector2 ship = PlayerPosition();
    switch (state_) {
    case kSpreading:
        alpha_ = kAlpha;
        offset_ += (targetOffset_ - offset_) * kSpreadRate;
        SetPositionFromVector(base_ + (ship - base_) * kFollowRate + offset_);
        if (++counter_ == kSpreadFrames) {
            counter_ = 0;
            GameObject::Create<PlayerSubWeapon_SW005Fx>(owner_, owner_, this);
            beam_ = GameObject::Create<PlayerSubWeapon_SW005>(owner_, owner_, player_, this, row_);
            state_ = kFiring;
        }
        break;
    case kFiring:
        alpha_ = kAlpha;
        if (!beam_ || !beam_->IsAlive()) {
            base_ = position_;
            counter_ = 0;
            beam_ = nullptr;
            state_ = kReturning;
        }
        break;
    default: {
        const float t = static_cast<float>(counter_) / static_cast<float>(kReturnFrames);
        base_ += (ship - base_) * t;
        SetPositionFromVector(base_);
        alpha_ = counter_ * kAlpha / kReturnFrames;
        if (++counter_ == kReturnFrames) {
            counter_ = 0;
            Vanish();
        }
        break;
    }
    }
}

void PlayerSubWeapon_SW005Decoy::Draw() {
    Mireku::Renderer::SpriteRenderer* layer = FieldSprite::Layer(SpriteLayer::kPlayer);
    Mireku::Graphics::Texture* texture = FieldSprite::Texture(owner_, StageTextureSlot::kShip);
    const uint32_t colour = SpriteQuad::WhiteWithAlpha(alpha_);
    SpriteQuad::Centred(layer, texture, SpriteQuad::kAlpha, kCellU, kBodyV, kSize, kSize,
                        screenPosition_.x, screenPosition_.y, 1.0f, 0.0f, colour);
    SpriteQuad::Centred(layer, texture, SpriteQuad::kAdd, kCellU, kGlowV, kSize, kSize,
                        screenPosition_.x, screenPosition_.y, 1.0f, 0.0f, colour);
}
