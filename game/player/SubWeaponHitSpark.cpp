#include "game/player/SubWeaponHitSpark.h"

#include "game/core/SpriteQuad.h"
#include "game/stage/FieldSprite.h"

namespace {

constexpr float kCell = 80.0f;

} // namespace

SubWeaponHitSpark::SubWeaponHitSpark(GameObjectDirector* owner,
                                     const Mireku::Common::Vector2& position, int32_t textureSlot,
                                     MakeParticle makeParticle)
    : GameObject(owner), textureSlot_(textureSlot) {
    SetPositionFromVector(position);
    for (uint32_t i = 0; i < kParticles; ++i)
        makeParticle(owner, position);
}

void SubWeaponHitSpark::Update() {
    if (++counter_ > kLastUpdate)
        Vanish();
}

void SubWeaponHitSpark::Draw() {
    SpriteQuad::Centred(FieldSprite::Layer(SpriteLayer::kPlayerShotAdd),
                        FieldSprite::Texture(owner_, textureSlot_), SpriteQuad::kAdd,
                        kCell * static_cast<float>(counter_ / 2), 0.0f, kCell, kCell,
                        screenPosition_.x, screenPosition_.y, 2.0f, 0.0f);
}
