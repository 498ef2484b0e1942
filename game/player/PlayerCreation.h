// The player-side objects the stage director makes, one creation function
// each: a pool block, the object, appended to the director. Null when nothing
// was made (pool exhausted, director going away, or the class not in the game
// yet); every caller goes on without the object.
#pragma once

class GameObject;
class GameObjectDirector;
class Player;

// The ship, at stage start.
Player* CreatePlayer(GameObjectDirector* director);
// The flash of a Barion gauge that has just passed a shield step.
GameObject* CreateBarionShieldOK(GameObjectDirector* director, Player* player);
