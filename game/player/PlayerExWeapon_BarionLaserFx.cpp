#include "game/player/PlayerExWeapon_BarionLaserFx.h"

#include "game/core/SpriteQuad.h"
#include "game/stage/FieldSprite.h"
#include "game/stage/StageTextureTable.h"

namespace {

constexpr float kSize = 512.0f;
constexpr float kLargest = 5.0f;

} // namespace

PlayerExWeapon_BarionLaserFx::PlayerExWeapon_BarionLaserFx(GameObjectDirector* owner,
                                                           const Mireku::Common::Vector2& position)
    : GameObject(owner) {
    SetPositionFromVector(position);
}

void PlayerExWeapon_BarionLaserFx::Update() {
    if (++age_ > kUpdates)
        Vanish();
}

void PlayerExWeapon_BarionLaserFx::Draw() {
    const float t = static_cast<float>(age_) / static_cast<float>(kUpdates);
    SpriteQuad::Centred(FieldSprite::Layer(SpriteLayer::kPlayerShotFx),
                        FieldSprite::Texture(owner_, StageTextureSlot::kBarionRing),
                        FieldSprite::BlendOf(SpriteLayer::kPlayerShotFx), 0.0f, 0.0f, kSize, kSize,
                        screenPosition_.x, screenPosition_.y, kLargest * t, 0.0f,
                        SpriteQuad::WhiteWithAlpha(255 - static_cast<int32_t>(255.0f * t)));
}
