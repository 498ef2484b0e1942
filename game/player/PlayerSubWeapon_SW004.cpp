#include "game/player/PlayerSubWeapon_SW004.h"

#include "game/core/SoundManager.h"
#include "game/player/PlayerSubWeapon_SW004Fx.h"
#include "game/player/PlayerSubWeapon_SW004Hit.h"
#include "game/player/PlayerSubWeapon_SW004ShootFx.h"
#include "game/player/PlayerSubWeapon_SW004Sonic.h"
#include "game/player/SubWeaponBodySprite.h"

namespace {

// Frames 0-9 once, then 10-15 round and round.
int32_t BodyFrame(uint32_t age) {
    return age < 10 ? static_cast<int32_t>(age) : 10 + static_cast<int32_t>((age - 10) % 6);
}

} // namespace

PlayerSubWeapon_SW004::PlayerSubWeapon_SW004(GameObjectDirector* owner, Player* player,
                                             const Mireku::Common::Vector2& position,
                                             const ShipParamRow* row,
                                             const Mireku::Common::Vector2& direction)
    : SubWeaponObject(owner, player, row) {
    CountOnPlayer();
    SetPosition(position.x, position.y - kAboveShip);
    SetHitShapeActive(true);
    velocity_ = direction * static_cast<float>(Row().sub4LaunchSpeed);
    GameObject::Create<PlayerSubWeapon_SW004Fx>(owner, owner, position_);
    GameObject::Create<PlayerSubWeapon_SW004ShootFx>(owner, owner, position_);
}

void PlayerSubWeapon_SW004::Update() {
    const Mireku::Common::Vector2 next = position_ - velocity_;
    velocity_ = velocity_ * kDrag;
    const float half = owner_ ? owner_->GetHalfMapWidth() : 0.0f;
    // One burst for each margin crossed, where the bomb still is.
    if (next.y < kMargin)
        Burst();
    if (next.x < kMargin - half)
        Burst();
    if (next.x > half - kMargin)
        Burst();
    SetPositionFromVector(next);
    if (++age_ >= kLife)
        Burst();
    SetHitBox(0, 0, kHitSize, kHitSize);
    RegisterHit();
}

void PlayerSubWeapon_SW004::OnCollision(GameObject*) {
    Burst();
}

void PlayerSubWeapon_SW004::Burst() {
    SetHitShapeActive(false);
    Vanish();
    GameObject::Create<PlayerSubWeapon_SW004Sonic>(owner_, owner_, player_, position_, row_);
    GameObject::Create<PlayerSubWeapon_SW004Hit>(owner_, owner_, player_, position_, row_);
    if (SoundManager* sound = SoundManager::GetInstance())
        sound->PlaySE(kBurstSound, false);
}

void PlayerSubWeapon_SW004::Draw() {
    SubWeaponBodySprite::Draw(owner_, screenPosition_, BodyFrame(age_),
                              SubWeaponBodySprite::kBombRows);
}
