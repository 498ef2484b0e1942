#include "game/player/PlayerSubWeapon_SW002HitFx.h"

#include "game/core/SpriteQuad.h"
#include "game/stage/FieldSprite.h"
#include "game/stage/StageTextureTable.h"

namespace {

constexpr float kRing = 128.0f;
constexpr float kGlow = 192.0f;

} // namespace

PlayerSubWeapon_SW002HitFx::PlayerSubWeapon_SW002HitFx(GameObjectDirector* owner,
                                                       const Mireku::Common::Vector2& position,
                                                       const ShipParamRow* row)
    : SubWeaponObject(owner, nullptr, row) {
    SetPositionFromVector(position);
    SetHitShapeActive(true);
}

void PlayerSubWeapon_SW002HitFx::Update() {
    if (++counter_ == kUpdates)
        Vanish();
    const auto side = static_cast<int16_t>(counter_ * kLargest / kUpdates);
    SetHitBox(0, 0, side, side);
    if (counter_ % 2 == 1)
        RegisterHit();
}

void PlayerSubWeapon_SW002HitFx::Draw() {
    Mireku::Renderer::SpriteRenderer* layer = FieldSprite::Layer(SpriteLayer::kPlayerShotAdd);
    const float c = static_cast<float>(counter_);
    const float ring = counter_ < kUpdates / 2 ? c * 0.05f : 1.0f - (c - 20.0f) * 0.05f;
    SpriteQuad::Centred(layer, FieldSprite::Texture(owner_, StageTextureSlot::kSub2Burst),
                        SpriteQuad::kAdd, 0.0f, 0.0f, kRing, kRing, screenPosition_.x,
                        screenPosition_.y, ring, 0.0f);
    SpriteQuad::Centred(layer, FieldSprite::Texture(owner_, StageTextureSlot::kSub2Burst + 1),
                        SpriteQuad::kAdd, 0.0f, 0.0f, kGlow, kGlow, screenPosition_.x,
                        screenPosition_.y, c * 0.025f, 0.0f,
                        SpriteQuad::WhiteWithAlpha(255 - counter_ * 255 / kUpdates));
}
