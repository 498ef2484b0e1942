#include "game/enemy/EnemyFactory.h"

#include "game/core/GlobalWork.h"
#include "game/enemy/EnemyDefault.h"
#include "game/enemy/EnemyGenerator.h"
#include "game/enemy/boss01/BossCreation.h"
#include "game/enemy/large/EnemyL015.h"
#include "game/enemy/large/EnemyL016.h"
#include "game/enemy/large/EnemyL017.h"
#include "game/enemy/large/EnemyL018.h"
#include "game/stage/GameObjectDirector.h"

namespace {

constexpr int32_t kFirstBossType = 280;
constexpr int32_t kLastBossType = 292;

void RepeatEntry(GameObjectDirector* director, const TimelineEntry& entry) {
    GameObject::Create<EnemyGenerator>(director, director, &entry);
}

} // namespace

void CreateEnemy(GameObjectDirector* director, int32_t type,
                 const Mireku::Common::Vector2& position) {
    const GlobalWork* gw = GlobalWork::GetInstance();
    if (!director || !gw)
        return;
    // Bosses read their boss rows; the timeline position is not theirs.
    if (type >= kFirstBossType && type <= kLastBossType) {
        CreateEnemyBoss(director, type, gw->stage);
        return;
    }
    if (type < 0 || !gw->tables.EnemyRow(gw->mode, gw->stage, static_cast<uint32_t>(type)))
        return;
    switch (type) {
    case EnemyL015::kType:
        GameObject::Create<EnemyL015>(director, director, type, position);
        break;
    case EnemyL016::kType:
        GameObject::Create<EnemyL016>(director, director, type, position);
        break;
    case EnemyL017::kType:
        GameObject::Create<EnemyL017>(director, director, type, position);
        break;
    case EnemyL018::kType:
        GameObject::Create<EnemyL018>(director, director, type, position);
        break;
    default:
        GameObject::Create<EnemyDefault>(director, director, type, position);
        break;
    }
}

void SpawnEnemyS005Group(GameObjectDirector* director, const TimelineEntry& entry) {
    RepeatEntry(director, entry);
}

void SpawnEnemyS008Ring(GameObjectDirector* director, int32_t, const TimelineEntry& entry) {
    RepeatEntry(director, entry);
}

void SpawnEnemyS011Pairs(GameObjectDirector* director, int32_t, const TimelineEntry& entry) {
    RepeatEntry(director, entry);
}
