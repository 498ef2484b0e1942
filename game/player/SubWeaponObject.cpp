#include "game/player/SubWeaponObject.h"

#include "game/player/Player.h"
#include "game/stage/GameObjectDirector.h"

const ShipParamRow& SubWeaponObject::Row() const {
    static const ShipParamRow kNoRow{};
    return row_ ? *row_ : kNoRow;
}

void SubWeaponObject::CountOnPlayer() {
    if (player_)
        count_.Join(owner_, &player_->subCount);
}

Mireku::Common::Vector2 SubWeaponObject::PlayerPosition() const {
    return player_ ? *player_->GetPosition() : position_;
}

void SubWeaponObject::RegisterHit() {
    if (owner_)
        owner_->RegisterCollision(GetCollisionGroup(), this);
}
