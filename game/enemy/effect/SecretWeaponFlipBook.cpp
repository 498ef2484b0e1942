#include "game/enemy/effect/SecretWeaponFlipBook.h"

#include "engine/graphics/Texture.h"
#include "game/core/SpriteQuad.h"
#include "game/stage/FieldSprite.h"
#include "game/stage/GameObjectDirector.h"

SecretWeaponFlipBook::SecretWeaponFlipBook(GameObjectDirector* owner,
                                           const Mireku::Common::Vector2& position, int16_t first,
                                           int16_t last)
    : GameObject(owner), frame_(first), last_(last) {
    SetPosition(position.x, position.y);
}

void SecretWeaponFlipBook::Update() {
    if (++tick_ > kLastTick) {
        tick_ = 0;
        if (++frame_ > last_)
            Vanish();
    }
}

void SecretWeaponFlipBook::Draw() {
    constexpr SpriteLayer kLayer = SpriteLayer::kItemAdd2;
    Mireku::Graphics::Texture* texture = FieldSprite::Texture(owner_, frame_);
    // A missing picture still draws, as the renderer's default texture.
    const float w = (texture ? static_cast<float>(texture->GetWidth()) : 0.0f) + 1.0f;
    const float h = (texture ? static_cast<float>(texture->GetHeight()) : 0.0f) + 1.0f;
    SpriteQuad::Centred(FieldSprite::Layer(kLayer), texture, FieldSprite::BlendOf(kLayer), 0.0f,
                        0.0f, w, h, screenPosition_.x, screenPosition_.y, 1.0f, 0.0f);
}
