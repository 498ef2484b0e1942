#include "game/enemy/effect/PlayerFlyHamon.h"

#include "game/core/SpriteQuad.h"
#include "game/stage/FieldSprite.h"
#include "game/stage/GameObjectDirector.h"
#include "game/stage/StageTextureTable.h"

PlayerFlyHamon::PlayerFlyHamon(GameObjectDirector* owner, const Mireku::Common::Vector2& position)
    : GameObject(owner) {
    SetPosition(position.x, position.y);
}

void PlayerFlyHamon::Update() {
    if (++age_ == kLife)
        Vanish();
    SetScale(static_cast<float>(age_) * 0.05f * 1.5f + 0.5f);
}

void PlayerFlyHamon::Draw() {
    Mireku::Renderer::SpriteRenderer* layer = FieldSprite::Layer(SpriteLayer::kPlayer);
    if (!layer)
        return;
    layer->SetBlend(SpriteQuad::kAdd);
    layer->SetTexture(FieldSprite::Texture(owner_, StageTextureSlot::kFlyRipple));
    layer->SetRectScaled(screenPosition_.x - kSize * 0.5f, screenPosition_.y - kSize * 0.5f, kSize,
                         kSize, scale_, scale_ * kFlatten);
    layer->SetTexCoord0(0.0f, 0.0f, kSize, kSize);
    layer->SetColor(0, SpriteQuad::kWhite);
    layer->Submit();
}
