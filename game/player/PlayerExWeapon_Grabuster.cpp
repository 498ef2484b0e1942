#include "game/player/PlayerExWeapon_Grabuster.h"

#include "game/core/SoundManager.h"
#include "game/player/Player.h"
#include "game/player/PlayerExWeapon_GrabusterHit.h"
#include "game/stage/GameObjectDirector.h"

PlayerExWeapon_Grabuster::PlayerExWeapon_Grabuster(GameObjectDirector* owner, Player* player,
                                                   const ShipParamRow* row)
    : PlayerShotBase(owner), player_(player), row_(row) {
    SetScale(2.0f);
    if (player_)
        SetPositionFromVector(*player_->GetPosition());
}

void PlayerExWeapon_Grabuster::Update() {
    if (player_)
        SetPositionFromVector(*player_->GetPosition());
    SetHitShapeActive(true);
    SetHitBox(0, 0, kSize, kSize);
    if (owner_)
        owner_->RegisterCollision(GetCollisionGroup(), this);
}

void PlayerExWeapon_Grabuster::OnCollision(GameObject* other) {
    // A second start within three frames is silent: one sound for many hits.
    if (SoundManager* sound = SoundManager::GetInstance())
        sound->PlaySE(kHitSound, false);
    if (other)
        GameObject::Create<PlayerExWeapon_GrabusterHit>(owner_, owner_, *other->GetPosition());
}
