#include "game/player/SubWeaponHitParticle.h"

#include "game/core/RandomManager.h"
#include "game/core/SpriteQuad.h"
#include "game/stage/FieldSprite.h"

namespace {

constexpr float kCell = 32.0f;
constexpr float kDrift = 2.0f;

} // namespace

SubWeaponHitParticle::SubWeaponHitParticle(GameObjectDirector* owner,
                                           const Mireku::Common::Vector2& position,
                                           int32_t textureSlot)
    : GameObject(owner), textureSlot_(textureSlot) {
    if (RandomManager* random = RandomManager::GetInstance()) {
        constexpr uint32_t kStream = RandomManager::kPresentation;
        cell_ = static_cast<uint16_t>(random->Next(kStream) & 3u);
        velocity_.x = random->RangeFloat(kStream, -kDrift, kDrift);
        velocity_.y = random->RangeFloat(kStream, -kDrift, kDrift);
    }
    SetPositionFromVector(position);
}

void SubWeaponHitParticle::Update() {
    SetPositionFromVector(position_ + velocity_);
    if (++age_ == kUpdates)
        Vanish();
}

void SubWeaponHitParticle::Draw() {
    SpriteQuad::Centred(FieldSprite::Layer(SpriteLayer::kPlayerShotAdd),
                        FieldSprite::Texture(owner_, textureSlot_), SpriteQuad::kAdd,
                        kCell * static_cast<float>(cell_), 0.0f, kCell, kCell, screenPosition_.x,
                        screenPosition_.y, 1.0f, 0.0f, SpriteQuad::WhiteWithAlpha(Alpha(age_)));
}
