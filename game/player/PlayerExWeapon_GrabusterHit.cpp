#include "game/player/PlayerExWeapon_GrabusterHit.h"

#include "game/core/SpriteQuad.h"
#include "game/stage/FieldSprite.h"
#include "game/stage/StageTextureTable.h"

namespace {

constexpr float kCell = 256.0f;

} // namespace

PlayerExWeapon_GrabusterHit::PlayerExWeapon_GrabusterHit(GameObjectDirector* owner,
                                                         const Mireku::Common::Vector2& position)
    : GameObject(owner) {
    SetPositionFromVector(position);
}

void PlayerExWeapon_GrabusterHit::Update() {
    if (delay_ <= kStartDelay)
        ++delay_;
    if (delay_ > kStartDelay && ++frame_ > kLastFrame)
        Vanish();
}

void PlayerExWeapon_GrabusterHit::Draw() {
    const int32_t cell = frame_ / 2;
    SpriteQuad::Centred(FieldSprite::Layer(SpriteLayer::kPlayerShotAdd),
                        FieldSprite::Texture(owner_, StageTextureSlot::kGrabusterHit),
                        SpriteQuad::kAdd, kCell * static_cast<float>(cell % 4),
                        kCell * static_cast<float>(cell / 4), kCell, kCell, screenPosition_.x,
                        screenPosition_.y, 1.0f, 0.0f);
}
