// One row of a boss parameter table ("boss_parameter_boss_easy.tsb" and its
// siblings): groups of 25 rows, index 0 the boss body, 1 to N its parts.
#pragma once

#include "game/core/tables/EmitterGrid.h"
#include "game/core/tables/TableRow.h"

#include <cstddef>
#include <cstdint>

struct BossRecord {
    static constexpr uint32_t kRowsPerGroup = 25;
    static constexpr uint32_t kPartTextureNameSize = 16;

    int16_t partCount; // read from the body row only
    uint16_t unread2;
    int32_t health;
    // A part opens once the body's health percentage has fallen to this or
    // below; 100 opens it at once, silently.
    int8_t openThreshold;
    // A part row's two textures, "%s.dds" in the stage's boss folder; names
    // fill their field and need no terminator.
    char partTextures[2][kPartTextureNameSize];
    uint8_t unread41;
    int16_t offsetX; // of the hit area or part, from the body sprite's left edge
    int16_t offsetY; // from its top edge
    EmitterGrid grid;
    uint16_t unread326;
};

static_assert(TableRow<BossRecord> && sizeof(BossRecord) == 328);
static_assert(offsetof(BossRecord, partCount) == 0 && offsetof(BossRecord, health) == 4 &&
              offsetof(BossRecord, openThreshold) == 8 && offsetof(BossRecord, partTextures) == 9 &&
              offsetof(BossRecord, offsetX) == 42 && offsetof(BossRecord, offsetY) == 44 &&
              offsetof(BossRecord, grid) == 46);
