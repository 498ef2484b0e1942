#include "game/enemy/explosion/EnemyShotDelete.h"

#include "game/core/SpriteQuad.h"
#include "game/stage/GameObjectDirector.h"
#include "game/stage/StageTextureTable.h"

EnemyShotDelete::EnemyShotDelete(GameObjectDirector* owner, const Mireku::Common::Vector2& position)
    : GameObject(owner) {
    SetPosition(position.x, position.y);
}

void EnemyShotDelete::Update() {
    if (++frameCounter_ >= kFramesPerImage) {
        frameCounter_ = 0;
        if (++image_ == kImages)
            Vanish();
    }
}

void EnemyShotDelete::Draw() {
    if (image_ >= kImages)
        return;
    Mireku::Renderer::SpriteRenderer* layer;
    Mireku::Graphics::Texture* texture;
    if (!GetOwner()->GetSprite(SpriteLayer::kItemAdd2, StageTextureSlot::kShotErase, &layer,
                               &texture))
        return;
    SpriteQuad::Place(layer, texture, SpriteQuad::kAdd, kCell * image_, 0.0f, kCell, kCell,
                      screenPosition_.x - kCell * 0.5f, screenPosition_.y - kCell * 0.5f, kCell,
                      kCell);
}
