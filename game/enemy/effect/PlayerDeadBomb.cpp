#include "game/enemy/effect/PlayerDeadBomb.h"

#include "game/core/SpriteQuad.h"
#include "game/stage/FieldSprite.h"
#include "game/stage/GameObjectDirector.h"
#include "game/stage/StageTextureTable.h"

PlayerDeadBomb::PlayerDeadBomb(GameObjectDirector* owner, const Mireku::Common::Vector2& position,
                               uint16_t attack)
    : PlayerShotBase(owner), attack_(attack) {
    PlayerExplosionSchedule::Start(owner);
    SetPosition(position.x, position.y);
}

void PlayerDeadBomb::Update() {
    if (schedule_.Advance(owner_))
        Vanish();
    if (++hitTimer_ != kHitUpdate) {
        SetHitShapeActive(false);
        return;
    }
    SetHitShapeActive(true);
    SetHitBox(0, 0, kHitSize, kHitSize);
    if (owner_)
        owner_->RegisterCollision(GetCollisionGroup(), this);
}

void PlayerDeadBomb::Draw() {
    // Frames 0 and 1 are the flash alone; then cells 1-15 of the first
    // sheet and 0-13 of the second.
    const int16_t frame = schedule_.GetFrame();
    if (frame < 2)
        return;
    const int32_t cell = frame - 1;
    const int32_t sheet =
        cell < 16 ? StageTextureSlot::kPlayerBomb1 : StageTextureSlot::kPlayerBomb2;
    const int32_t inSheet = cell % 16;
    SpriteQuad::Centred(FieldSprite::Layer(SpriteLayer::kPlayer),
                        FieldSprite::Texture(owner_, sheet), SpriteQuad::kAlpha,
                        kCell * (inSheet % 4), kCell * (inSheet / 4), kCell, kCell,
                        screenPosition_.x, screenPosition_.y, 2.0f, 0.0f);
}
