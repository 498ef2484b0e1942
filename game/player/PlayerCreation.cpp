#include "game/player/PlayerCreation.h"

#include "game/player/Player.h"
#include "game/stage/GameObjectDirector.h"

Player* CreatePlayer(GameObjectDirector* director) {
    return GameObject::Create<Player>(director, director);
}

// The shield-step flash and the ex-weapons are not in the game yet: their
// callers meet the same null as from an exhausted pool and play on.

GameObject* CreateBarionShieldOK(GameObjectDirector*, Player*) {
    return nullptr;
}

GameObject* CreateBarionLaserBase(GameObjectDirector*, Player*, const ShipParamRow*) {
    return nullptr;
}

PlayerExWeapon_Grabuster* CreateGrabuster(GameObjectDirector*, Player*, const ShipParamRow*) {
    return nullptr;
}

PlayerExWeapon_BarionShield* CreateBarionShield(GameObjectDirector*, Player*, const ShipParamRow*) {
    return nullptr;
}

GameObject* CreateGrabusterHamon(GameObjectDirector*, const Mireku::Common::Vector2&,
                                 const ShipParamRow*) {
    return nullptr;
}
