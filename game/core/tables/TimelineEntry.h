// One entry of a stage timeline ("ttable_easy_stage01.tsb" and its siblings):
// what spawns when. The loader ends each per-stage list with an entry of type
// 0xFFFF and moves x to the field-centred range.
#pragma once

#include "game/core/tables/TableRow.h"

#include <cstddef>
#include <cstdint>

struct TimelineEntry {
    static constexpr uint16_t kEndType = 0xFFFF;

    int32_t frame; // spawn once the timeline's frame counter reaches it; 0 = skipped
    int16_t type;  // enemy type
    int16_t x;     // spawn position, game units
    int16_t y;
    int16_t count;     // 1: one enemy at once; otherwise a spawner's number
    uint16_t interval; // frames between a spawner's enemies
    uint16_t unread14;

    bool IsEnd() const { return static_cast<uint16_t>(type) == kEndType; }
};

static_assert(TableRow<TimelineEntry> && sizeof(TimelineEntry) == 16);
static_assert(offsetof(TimelineEntry, type) == 4 && offsetof(TimelineEntry, x) == 6 &&
              offsetof(TimelineEntry, y) == 8 && offsetof(TimelineEntry, count) == 10 &&
              offsetof(TimelineEntry, interval) == 12);
