#include "game/player/PlayerSubWeapon_SW003.h"

#include "game/core/SoundManager.h"
#include "game/player/PlayerSubWeapon_SW003Fx.h"
#include "game/player/PlayerSubWeapon_SW003Hit.h"
#include "game/player/PlayerSubWeapon_SW003ShootFx.h"
#include "game/player/SubWeaponBodySprite.h"

PlayerSubWeapon_SW003::PlayerSubWeapon_SW003(GameObjectDirector* owner, Player* player,
                                             const Mireku::Common::Vector2& position,
                                             const ShipParamRow* row)
    : SubWeaponObject(owner, player, row) {
    CountOnPlayer();
    SetPosition(position.x, position.y + kBelowShip);
    SetHitShapeActive(true);
    const Mireku::Common::Vector2 flash = position_ + Mireku::Common::Vector2{0.0f, -kFlashAbove};
    GameObject::Create<PlayerSubWeapon_SW003Fx>(owner, owner, flash);
    GameObject::Create<PlayerSubWeapon_SW003ShootFx>(owner, owner, flash);
}

void PlayerSubWeapon_SW003::Update() {
    const float y = position_.y - static_cast<float>(Row().sub3Speed);
    if (y < kTopLine)
        Vanish();
    SetPosition(position_.x, y);
    ++age_;
    SetHitBox(0, 0, kHitSize, kHitSize);
    RegisterHit();
}

void PlayerSubWeapon_SW003::OnCollision(GameObject*) {
    SetHitShapeActive(false);
    Vanish();
    GameObject::Create<PlayerSubWeapon_SW003Hit>(owner_, owner_, player_, position_, row_);
    if (SoundManager* sound = SoundManager::GetInstance())
        sound->PlaySE(kBurstSound, false);
}

void PlayerSubWeapon_SW003::Draw() {
    SubWeaponBodySprite::Draw(owner_, screenPosition_, static_cast<int32_t>(age_ % 16),
                              SubWeaponBodySprite::kBlastShotRows);
}
