#include "game/enemy/effect/PlayerEffectBackFire.h"

#include "game/core/RandomManager.h"
#include "game/core/SpriteQuad.h"
#include "game/stage/FieldSprite.h"
#include "game/stage/GameObjectDirector.h"
#include "game/stage/StageTextureTable.h"

#include <cmath>
#include <numbers>

PlayerEffectBackFire::PlayerEffectBackFire(GameObjectDirector* owner,
                                           const Mireku::Common::Vector2& position, float angle,
                                           float speed)
    : GameObject(owner), velocity_{std::cos(angle) * speed, std::sin(angle) * speed} {
    if (RandomManager* random = RandomManager::GetInstance())
        variant_ = random->Next(RandomManager::kPresentation) % kVariants;
    SetPosition(position.x, position.y);
}

void PlayerEffectBackFire::Update() {
    SetPositionFromVector(position_ + velocity_);
    if (++age_ == kLife)
        Vanish();
}

void PlayerEffectBackFire::Draw() {
    constexpr float kTurn = 2.0f * std::numbers::pi_v<float>;
    constexpr SpriteLayer kLayer = SpriteLayer::kPlayerShotAdd;
    const float t = static_cast<float>(age_) / static_cast<float>(kLife);
    const int32_t slot = StageTextureSlot::kShipBackFire + static_cast<int32_t>(variant_);
    SpriteQuad::Centred(FieldSprite::Layer(kLayer), FieldSprite::Texture(owner_, slot),
                        FieldSprite::BlendOf(kLayer), 0.0f, 0.0f, kSize, kSize, screenPosition_.x,
                        screenPosition_.y, 1.0f - t, kTurn - kTurn * t);
}
