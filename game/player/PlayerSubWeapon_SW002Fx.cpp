#include "game/player/PlayerSubWeapon_SW002Fx.h"

#include "game/core/SpriteQuad.h"
#include "game/stage/FieldSprite.h"
#include "game/stage/StageTextureTable.h"

namespace {

constexpr float kCell = 128.0f;

} // namespace

PlayerSubWeapon_SW002Fx::PlayerSubWeapon_SW002Fx(GameObjectDirector* owner,
                                                 const Mireku::Common::Vector2& position)
    : GameObject(owner) {
    SetPositionFromVector(position);
}

void PlayerSubWeapon_SW002Fx::Update() {
    if (++counter_ == kUpdates)
        Vanish();
}

void PlayerSubWeapon_SW002Fx::Draw() {
    const int32_t frame = counter_;
    SpriteQuad::Centred(FieldSprite::Layer(SpriteLayer::kPlayerShotAdd),
                        FieldSprite::Texture(owner_, StageTextureSlot::kSub2Flash),
                        SpriteQuad::kAdd, kCell * static_cast<float>(frame % 4),
                        kCell * static_cast<float>(frame / 4), kCell, kCell, screenPosition_.x,
                        screenPosition_.y, 2.0f - static_cast<float>(counter_) / 8.0f, 0.0f);
}
