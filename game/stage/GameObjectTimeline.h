// The stage timeline: a child of the director that counts the frames of play
// and hands every timeline entry whose frame has come to the enemy factory or
// to a spawner, in table order. Stage clear halts it for good.
#pragma once

#include "game/core/GameObject.h"

#include <cstdint>

struct TimelineEntry;

class GameObjectTimeline : public GameObject {
public:
    explicit GameObjectTimeline(GameObjectDirector* owner);

    void Update() override;
    // A positive halt counter stops the timeline for good.
    void Halt() { ++haltCounter_; }
    // Count 1: one enemy at once; otherwise the spawner of the entry's type.
    void SpawnEntry(const TimelineEntry& entry);

    int32_t GetFrame() const { return frame_; }
    uint32_t GetNextEntry() const { return nextEntry_; }
    int32_t GetHaltCounter() const { return haltCounter_; }

private:
    int32_t frame_ = 0;
    uint32_t nextEntry_ = 0;
    int32_t haltCounter_ = 0;
};
