#include "game/enemy/EnemyGenerator.h"

#include "game/core/tables/TimelineEntry.h"
#include "game/enemy/EnemyFactory.h"

EnemyGenerator::EnemyGenerator(GameObjectDirector* owner, const TimelineEntry* entry)
    : GameObject(owner), entry_(entry) {
    Spawn();
}

void EnemyGenerator::Update() {
    // Compared for equality: an interval of 0 waits for the counter to wrap.
    if (++frameCounter_ == entry_->interval) {
        frameCounter_ = 0;
        Spawn();
    }
}

void EnemyGenerator::Spawn() {
    CreateEnemy(GetOwner(), entry_->type,
                {static_cast<float>(entry_->x), static_cast<float>(entry_->y)});
    ++spawned_;
    if (spawned_ == entry_->count)
        Vanish();
}
