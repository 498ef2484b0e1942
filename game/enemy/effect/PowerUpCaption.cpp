#include "game/enemy/effect/PowerUpCaption.h"

#include "game/core/SpriteQuad.h"
#include "game/stage/FieldSprite.h"
#include "game/stage/GameObjectDirector.h"
#include "game/stage/StageTextureTable.h"

PowerUpCaption::PowerUpCaption(GameObjectDirector* owner, const Mireku::Common::Vector2& position)
    : GameObject(owner) {
    SetPosition(position.x, position.y);
    caption_ = screenPosition_;
}

bool PowerUpCaption::CountTo(uint16_t updates) {
    if (++counter_ != updates)
        return false;
    counter_ = 0;
    return true;
}

void PowerUpCaption::DrawRing(Mireku::Renderer::SpriteRenderer* layer) const {
    if (ticks_ >= kRingTicks)
        return;
    const float t = static_cast<float>(ticks_) / static_cast<float>(kRingTicks);
    const auto alpha = static_cast<int32_t>(255.0f * (1.0f - t * t * t * t));
    SpriteQuad::Centred(layer, FieldSprite::Texture(owner_, StageTextureSlot::kPowerUp),
                        SpriteQuad::kAdd, kRingSize, kRingSize, kRingSize, kRingSize,
                        screenPosition_.x, screenPosition_.y, t * kRingGrowth, 0.0f,
                        SpriteQuad::WhiteWithAlpha(alpha));
}
