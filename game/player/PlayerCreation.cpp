#include "game/player/PlayerCreation.h"

#include "game/enemy/explosion/GrabusterHamon.h"
#include "game/player/Player.h"
#include "game/player/PlayerExWeapon_BarionLaserBase.h"
#include "game/player/PlayerExWeapon_BarionShield.h"
#include "game/player/PlayerExWeapon_BarionShieldOK.h"
#include "game/player/PlayerExWeapon_Grabuster.h"
#include "game/stage/GameObjectDirector.h"

Player* CreatePlayer(GameObjectDirector* director) {
    return GameObject::Create<Player>(director, director);
}

GameObject* CreateBarionShieldOK(GameObjectDirector* director, Player* player) {
    // The sign rides on the ship: without one there is nothing to show it on.
    if (!player)
        return nullptr;
    return GameObject::Create<PlayerExWeapon_BarionShieldOK>(director, director, player);
}

GameObject* CreateBarionLaserBase(GameObjectDirector* director, Player* player,
                                  const ShipParamRow* row) {
    return GameObject::Create<PlayerExWeapon_BarionLaserBase>(director, director, player, row);
}

PlayerExWeapon_Grabuster* CreateGrabuster(GameObjectDirector* director, Player* player,
                                          const ShipParamRow* row) {
    return GameObject::Create<PlayerExWeapon_Grabuster>(director, director, player, row);
}

PlayerExWeapon_BarionShield* CreateBarionShield(GameObjectDirector* director, Player* player,
                                                const ShipParamRow* row) {
    return GameObject::Create<PlayerExWeapon_BarionShield>(director, director, player, row);
}

GameObject* CreateGrabusterHamon(GameObjectDirector* director,
                                 const Mireku::Common::Vector2& position, const ShipParamRow* row) {
    return GameObject::Create<GrabusterHamon>(director, director, position, row);
}
