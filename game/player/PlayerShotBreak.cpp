#include "game/player/PlayerShotBreak.h"

#include "game/core/SpriteQuad.h"
#include "game/stage/FieldSprite.h"
#include "game/stage/GameObjectDirector.h"
#include "game/stage/StageTextureTable.h"

PlayerShotBreak::PlayerShotBreak(GameObjectDirector* owner, const Mireku::Common::Vector2& position,
                                 uint8_t spriteFamily)
    : GameObject(owner), spriteFamily_(spriteFamily) {
    SetPosition(position.x, position.y);
}

void PlayerShotBreak::Update() {
    if (++frame_ >= kFrames)
        Vanish();
}

void PlayerShotBreak::Draw() {
    constexpr SpriteLayer kLayer = SpriteLayer::kPlayerShotFx;
    SpriteQuad::Centred(FieldSprite::Layer(kLayer),
                        FieldSprite::Texture(owner_, StageTextureSlot::kShipShot),
                        FieldSprite::BlendOf(kLayer), kLeft + kCell * frame_, kRow, kCell, kCell,
                        screenPosition_.x, screenPosition_.y, kScale, 0.0f);
}
