#include "game/player/PlayerExWeapon_BarionShield.h"

#include "game/core/SpriteQuad.h"
#include "game/enemy/explosion/EnemyShotDelete.h"
#include "game/player/Player.h"
#include "game/player/PlayerExWeapon_BarionShieldFx.h"
#include "game/stage/CollisionGroups.h"
#include "game/stage/FieldSprite.h"
#include "game/stage/StageTextureTable.h"

namespace {

constexpr float kTurn = 0.01f;

} // namespace

PlayerExWeapon_BarionShield::PlayerExWeapon_BarionShield(GameObjectDirector* owner, Player* player,
                                                         const ShipParamRow* row)
    : PlayerShotBase(owner), player_(player), row_(row) {
    // Full at once, so that the first update registers.
    hitCounter_ = HitInterval();
    if (player_)
        SetPositionFromVector(*player_->GetPosition());
    SetHitShapeActive(true);
}

uint32_t PlayerExWeapon_BarionShield::GetCollisionGroup() const {
    return CollisionGroups::kStrongWeapons;
}

void PlayerExWeapon_BarionShield::Update() {
    SetAngle(GetAngle() + kTurn);
    const float c = static_cast<float>(phaseCounter_);
    if (phase_ == kGrowing) {
        SetScale(c * 0.025f * 0.5f);
        if (++phaseCounter_ == kGrowFrames) {
            phase_ = kFading;
            phaseCounter_ = 0;
        }
    } else {
        SetScale(c * 0.0125f * 0.7f + 0.5f);
        alpha_ = static_cast<uint8_t>(255.0f - c * 0.0125f * 255.0f);
        ++phaseCounter_;
        if (phaseCounter_ == kFadeFrames)
            Vanish();
        if (phaseCounter_ == kHarmlessFrom)
            SetHitShapeActive(false);
    }
    if (++sparkCounter_ == kSparkEvery) {
        sparkCounter_ = 0;
        GameObject::Create<PlayerExWeapon_BarionShieldFx>(owner_, owner_, position_, GetScale());
    }
    if (++hitCounter_ >= HitInterval()) {
        hitCounter_ = 0;
        const auto n = static_cast<int16_t>(GetScale() * kBoxPerScale);
        SetHitBox(0, 0, n, n);
        if (owner_)
            owner_->RegisterCollision(GetCollisionGroup(), this);
    }
}

void PlayerExWeapon_BarionShield::OnCollision(GameObject* other) {
    // The shot vanishes in its own hit; the shield leaves the mark.
    if (other && other->GetKind() == kKindEnemyShot)
        GameObject::Create<EnemyShotDelete>(owner_, owner_, *other->GetPosition());
}

void PlayerExWeapon_BarionShield::Draw() {
    SpriteQuad::Centred(FieldSprite::Layer(SpriteLayer::kPlayerShotAdd),
                        FieldSprite::Texture(owner_, StageTextureSlot::kBarionShield),
                        SpriteQuad::kAdd, 0.0f, 0.0f, kSize, kSize, screenPosition_.x,
                        screenPosition_.y, GetScale(), 0.0f, SpriteQuad::WhiteWithAlpha(alpha_));
}
