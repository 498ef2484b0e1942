// The player-side objects that the stage director and the ship make, one
// creation function each: a pool block, the object, appended to the
// director. Null when nothing was made (pool exhausted, director going
// away); every caller goes on without the object.
#pragma once

#include "engine/common/Vector2.h"

class GameObject;
class GameObjectDirector;
class Player;
class PlayerExWeapon_BarionShield;
class PlayerExWeapon_Grabuster;
struct ShipParamRow;

// The ship, at stage start.
Player* CreatePlayer(GameObjectDirector* director);
// The flash of a Barion gauge that has just passed a shield step.
GameObject* CreateBarionShieldOK(GameObjectDirector* director, Player* player);
// One volley of the Barion laser, from the ship.
GameObject* CreateBarionLaserBase(GameObjectDirector* director, Player* player,
                                  const ShipParamRow* row);
// The Grabuster field, carried by the ship through its Grabuster state.
PlayerExWeapon_Grabuster* CreateGrabuster(GameObjectDirector* director, Player* player,
                                          const ShipParamRow* row);
// The shield of an automatic shield.
PlayerExWeapon_BarionShield* CreateBarionShield(GameObjectDirector* director, Player* player,
                                                const ShipParamRow* row);
// The Grabuster's shock wave, where the drain ended.
GameObject* CreateGrabusterHamon(GameObjectDirector* director,
                                 const Mireku::Common::Vector2& position, const ShipParamRow* row);
