#include "game/enemy/explosion/GrabusterHamon.h"

#include "game/core/SpriteQuad.h"
#include "game/stage/CollisionGroups.h"
#include "game/stage/FieldSprite.h"
#include "game/stage/StageTextureTable.h"

GrabusterHamon::GrabusterHamon(GameObjectDirector* owner, const Mireku::Common::Vector2& position,
                               const ShipParamRow* row)
    : PlayerShotBase(owner), row_(row) {
    SetPositionFromVector(position);
}

uint32_t GrabusterHamon::GetCollisionGroup() const {
    return CollisionGroups::kStrongWeapons;
}

void GrabusterHamon::Update() {
    if (++counter_ == kUpdates)
        Vanish();
    SetScale(static_cast<float>(counter_) / static_cast<float>(kUpdates) * 4.0f + 1.0f);
    SetHitShapeActive(true);
    const auto side = static_cast<int16_t>(GetScale() * kSizePerScale);
    SetHitBox(0, 0, side, side);
    if (owner_)
        owner_->RegisterCollision(GetCollisionGroup(), this);
}

void GrabusterHamon::Draw() {
    const float side = GetScale() * kSizePerScale;
    SpriteQuad::Place(FieldSprite::Layer(SpriteLayer::kPlayer),
                      FieldSprite::Texture(owner_, StageTextureSlot::kGrabusterWave),
                      SpriteQuad::kAlpha, 0.0f, 0.0f, kTexture, kTexture,
                      screenPosition_.x - side * 0.5f, screenPosition_.y - side * 0.5f, side, side);
}
