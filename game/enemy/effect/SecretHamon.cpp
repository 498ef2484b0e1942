#include "game/enemy/effect/SecretHamon.h"

#include "game/core/SpriteQuad.h"
#include "game/stage/FieldSprite.h"
#include "game/stage/GameObjectDirector.h"
#include "game/stage/StageTextureTable.h"

SecretHamon::SecretHamon(GameObjectDirector* owner, const Mireku::Common::Vector2& position)
    : GameObject(owner) {
    SetPosition(position.x, position.y);
    SetScale(0.0f);
}

void SecretHamon::Update() {
    if (++age_ == kLife)
        Vanish();
    alpha_ = (kLife - age_) * 255 / kLife;
    SetScale(static_cast<float>(age_) / static_cast<float>(kLife));
}

void SecretHamon::Draw() {
    constexpr SpriteLayer kLayer = SpriteLayer::kItemAdd2;
    SpriteQuad::Centred(FieldSprite::Layer(kLayer),
                        FieldSprite::Texture(owner_, StageTextureSlot::kSecretRing),
                        FieldSprite::BlendOf(kLayer), 0.0f, 0.0f, kSize, kSize, screenPosition_.x,
                        screenPosition_.y, kGrowth * scale_, 0.0f,
                        SpriteQuad::WhiteWithAlpha(static_cast<int32_t>(alpha_)));
}
