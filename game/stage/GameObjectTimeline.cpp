#include "game/stage/GameObjectTimeline.h"

#include "game/core/GlobalWork.h"
#include "game/enemy/EnemyFactory.h"
#include "game/enemy/EnemyGenerator.h"
#include "game/stage/GameObjectDirector.h"

GameObjectTimeline::GameObjectTimeline(GameObjectDirector* owner) : GameObject(owner) {}

void GameObjectTimeline::Update() {
    if (haltCounter_ > 0)
        return;
    ++frame_;
    const GlobalWork* gw = GlobalWork::GetInstance();
    // A mode or stage without a timeline table has an empty timeline.
    const TimelineEntry* table = gw ? gw->tables.Timeline(gw->mode, gw->stage) : nullptr;
    if (!table)
        return;
    // The table ends with its end entry, which is never passed.
    while (haltCounter_ <= 0) {
        const TimelineEntry& entry = table[nextEntry_];
        if (entry.IsEnd() || frame_ < entry.frame)
            break;
        if (entry.frame != 0)
            SpawnEntry(entry);
        ++nextEntry_;
    }
}

void GameObjectTimeline::SpawnEntry(const TimelineEntry& entry) {
    GameObjectDirector* director = GetOwner();
    if (entry.count == 1) {
        CreateEnemy(director, entry.type,
                    {static_cast<float>(entry.x), static_cast<float>(entry.y)});
        return;
    }
    switch (entry.type) {
    case 9:
        SpawnEnemyS005Group(director, entry);
        break;
    case 14:
    case 15:
        SpawnEnemyS008Ring(director, entry.type, entry);
        break;
    case 19:
    case 20:
        SpawnEnemyS011Pairs(director, entry.type, entry);
        break;
    default:
        GameObject::Create<EnemyGenerator>(director, director, &entry);
        break;
    }
}
