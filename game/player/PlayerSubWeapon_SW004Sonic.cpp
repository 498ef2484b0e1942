#include "game/player/PlayerSubWeapon_SW004Sonic.h"

#include "game/core/SpriteQuad.h"
#include "game/stage/FieldSprite.h"
#include "game/stage/StageTextureTable.h"

PlayerSubWeapon_SW004Sonic::PlayerSubWeapon_SW004Sonic(GameObjectDirector* owner, Player* player,
                                                       const Mireku::Common::Vector2& position,
                                                       const ShipParamRow* row)
    : SubWeaponObject(owner, player, row) {
    SetPositionFromVector(position);
    SetScale(kStartScale);
    SetHitShapeActive(false);
}

void PlayerSubWeapon_SW004Sonic::Update() {
    SetScale(GetScale() + kGrowth);
    SetHitShapeActive(GetScale() < kHarmlessFrom);
    if (GetScale() > kLastScale)
        Vanish();
    SetHitCircle(kRadius * GetScale());
    RegisterHit();
}

void PlayerSubWeapon_SW004Sonic::Draw() {
    const float scale = GetScale();
    SpriteQuad::Centred(
        FieldSprite::Layer(SpriteLayer::kPlayerShotBlend),
        FieldSprite::Texture(owner_, StageTextureSlot::kSub4Wave), SpriteQuad::kAlpha, 0.0f, 0.0f,
        kSize, kSize, screenPosition_.x, screenPosition_.y, scale, 0.0f,
        SpriteQuad::WhiteWithAlpha(255 - static_cast<int32_t>(scale * 255.0f / kLastScale)));
}
