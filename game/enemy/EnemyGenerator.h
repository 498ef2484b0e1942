// Repeats one timeline entry: makes the entry's enemy at the entry's position
// at once and then every `interval` frames, and vanishes after `count` of
// them. The entry belongs to the stage's timeline table, which outlives it.
#pragma once

#include "game/core/GameObject.h"

#include <cstdint>

struct TimelineEntry;

class EnemyGenerator : public GameObject {
public:
    EnemyGenerator(GameObjectDirector* owner, const TimelineEntry* entry);

    void Update() override;
    virtual void Spawn();

    uint16_t GetSpawned() const { return spawned_; }

protected:
    const TimelineEntry* entry_;
    uint16_t spawned_ = 0;
    uint16_t frameCounter_ = 0;
};
