#include "game/enemy/staging/StagingCreation.h"

#include "game/enemy/staging/PlayerRebirthDirection.h"
#include "game/enemy/staging/StageClearDirection.h"
#include "game/enemy/staging/StageStartDirection.h"
#include "game/stage/GameObjectDirector.h"

// Each staging object holds the director's input from its constructor: it is
// made only when the director takes it, so that no hold is left behind by an
// object that was never appended.

GameObject* CreateStageStartDirection(GameObjectDirector* director) {
    if (!director || !director->IsAcceptingChildren())
        return nullptr;
    return GameObject::Create<StageStartDirection>(director, director);
}

GameObject* CreateStageClearDirection(GameObjectDirector* director, bool bossStage) {
    if (!director || !director->IsAcceptingChildren())
        return nullptr;
    return GameObject::Create<StageClearDirection>(director, director, bossStage);
}

GameObject* CreatePlayerRebirthDirection(GameObjectDirector* director,
                                         const Mireku::Common::Vector2& position) {
    if (!director || !director->IsAcceptingChildren())
        return nullptr;
    return GameObject::Create<PlayerRebirthDirection>(director, director, position);
}
