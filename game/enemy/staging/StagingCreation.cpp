#include "game/enemy/staging/StagingCreation.h"

// The start, clear and rebirth staging are not in the game yet: the director
// meets the same null as from an exhausted pool and plays on.

GameObject* CreateStageStartDirection(GameObjectDirector*) {
    return nullptr;
}

GameObject* CreateStageClearDirection(GameObjectDirector*, bool) {
    return nullptr;
}

GameObject* CreatePlayerRebirthDirection(GameObjectDirector*, const Mireku::Common::Vector2&) {
    return nullptr;
}
