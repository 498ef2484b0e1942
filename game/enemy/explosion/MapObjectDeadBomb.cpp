#include "game/enemy/explosion/MapObjectDeadBomb.h"

#include "game/core/SpriteQuad.h"
#include "game/stage/FieldSprite.h"
#include "game/stage/GameObjectDirector.h"
#include "game/stage/MapPlacement.h"
#include "game/stage/StageTextureTable.h"

namespace {

constexpr int16_t kLengths[MapObjectDeadBomb::kImages] = {1, 1, 1, 1, 1, 1, 2, 2,
                                                          2, 2, 2, 3, 3, 3, 3, 3};

} // namespace

MapObjectDeadBomb::MapObjectDeadBomb(GameObjectDirector* owner, uint32_t cellX, uint32_t cellY,
                                     int32_t offsetX, int32_t offsetY, float angle, float scale)
    : GameObject(owner), cellX_(cellX), cellY_(cellY), offsetX_(offsetX), offsetY_(offsetY) {
    SetAngle(angle);
    SetScale(scale);
}

int16_t MapObjectDeadBomb::Length(int16_t image) {
    return image >= 0 && image < kImages ? kLengths[image] : 0;
}

void MapObjectDeadBomb::Update() {
    if (image_ >= kImages)
        return;
    if (++counter_ > Length(image_)) {
        counter_ = -1;
        if (++image_ == kImages)
            Vanish();
    }
}

Mireku::Common::Vector2 MapObjectDeadBomb::TopLeft() const {
    const Mireku::Common::Vector2 cell =
        owner_ ? MapPlacement::CellToField(MapPlacement::Of(*owner_), cellX_, cellY_)
               : Mireku::Common::Vector2{};
    return GameObjectDirector::ToScreen(cell) +
           Mireku::Common::Vector2{static_cast<float>(offsetX_) - kCell * 0.5f,
                                   static_cast<float>(offsetY_) - kCell * 0.5f};
}

void MapObjectDeadBomb::Draw() {
    if (image_ >= kImages)
        return;
    const Mireku::Common::Vector2 at = TopLeft();
    SpriteQuad::Centred(FieldSprite::Layer(SpriteLayer::kBGBomb),
                        FieldSprite::Texture(owner_, StageTextureSlot::kMapObjectExplosion),
                        FieldSprite::BlendOf(SpriteLayer::kBGBomb),
                        kCell * static_cast<float>(image_ % 4),
                        kCell * static_cast<float>(image_ / 4), kCell, kCell, at.x + kCell * 0.5f,
                        at.y + kCell * 0.5f, 1.0f, GetAngle());
}
