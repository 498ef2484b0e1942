#include "game/player/PlayerShotFire.h"

#include "game/core/SpriteQuad.h"
#include "game/stage/FieldSprite.h"
#include "game/stage/GameObjectDirector.h"
#include "game/stage/StageTextureTable.h"

PlayerShotFire::PlayerShotFire(GameObjectDirector* owner, const Mireku::Common::Vector2& position,
                               uint8_t spriteFamily, float angle)
    : GameObject(owner), spriteFamily_(spriteFamily) {
    SetPosition(position.x, position.y);
    SetAngle(angle);
}

void PlayerShotFire::Update() {
    if (++frame_ >= kFrames)
        Vanish();
}

void PlayerShotFire::Draw() {
    constexpr SpriteLayer kLayer = SpriteLayer::kPlayerShotFx;
    SpriteQuad::Centred(FieldSprite::Layer(kLayer),
                        FieldSprite::Texture(owner_, StageTextureSlot::kShipShot),
                        FieldSprite::BlendOf(kLayer), kCell * frame_, kRow, kCell, kCell,
                        screenPosition_.x, screenPosition_.y, 1.0f, angle_);
}
