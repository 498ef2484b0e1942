#include "game/player/SubWeaponMuzzleFlash.h"

#include "game/core/SpriteQuad.h"
#include "game/stage/FieldSprite.h"

namespace {

constexpr float kCellWidth = 128.0f;
constexpr float kCellHeight = 256.0f;
constexpr float kAbove = 24.0f;

} // namespace

SubWeaponMuzzleFlash::SubWeaponMuzzleFlash(GameObjectDirector* owner, GameObject* anchor,
                                           int32_t textureSlot)
    : GameObject(owner), anchor_(anchor), textureSlot_(textureSlot) {
    if (anchor_)
        SetPositionFromVector(*anchor_->GetPosition());
}

void SubWeaponMuzzleFlash::Update() {
    if (++counter_ == kUpdates)
        Vanish();
}

void SubWeaponMuzzleFlash::Draw() {
    const int32_t frame = counter_ / 2;
    const Mireku::Common::Vector2 at = anchor_ ? *anchor_->GetScreenPosition() : screenPosition_;
    SpriteQuad::Centred(FieldSprite::Layer(SpriteLayer::kPlayerShotAdd),
                        FieldSprite::Texture(owner_, textureSlot_), SpriteQuad::kAdd,
                        kCellWidth * static_cast<float>(frame % 4),
                        kCellHeight * static_cast<float>(frame / 4), kCellWidth, kCellHeight, at.x,
                        at.y - kAbove, 2.0f - static_cast<float>(counter_) / 8.0f, 0.0f);
}
