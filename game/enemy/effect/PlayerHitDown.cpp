#include "game/enemy/effect/PlayerHitDown.h"

#include "game/core/SpriteQuad.h"
#include "game/stage/FieldSprite.h"
#include "game/stage/GameObjectDirector.h"
#include "game/stage/StageTextureTable.h"

PlayerHitDown::PlayerHitDown(GameObjectDirector* owner, const Mireku::Common::Vector2& position)
    : GameObject(owner) {
    SetPosition(position.x, position.y);
}

void PlayerHitDown::Update() {
    if (tick_++ == kLastTick) {
        tick_ = 0;
        if (++frame_ == kFrames)
            Vanish();
    }
}

void PlayerHitDown::Draw() {
    constexpr SpriteLayer kLayer = SpriteLayer::kEnemyShotAdd;
    SpriteQuad::Centred(FieldSprite::Layer(kLayer),
                        FieldSprite::Texture(owner_, StageTextureSlot::kPlayerHitDown),
                        FieldSprite::BlendOf(kLayer), kCell * (frame_ % 4), kCell * (frame_ / 4),
                        kCell, kCell, screenPosition_.x, screenPosition_.y, 1.0f, 0.0f);
}
