#include "game/enemy/boss01/BossCreation.h"

#include "game/enemy/boss01/EnemyBoss01.h"
#include "game/stage/GameObjectDirector.h"

GameObject* CreateEnemyBoss(GameObjectDirector* director, int32_t type, uint32_t group) {
    // A group without its body row in the mode's boss table has no boss.
    if (!director || !EBSS_Driver::BossRowOf(0, group & 0xFF))
        return nullptr;
    auto* body = GameObject::Create<EnemyBoss01>(director, director, type,
                                                 Mireku::Common::Vector2{0.0f, 0.0f}, group);
    if (body)
        body->SpawnParts();
    return body;
}
