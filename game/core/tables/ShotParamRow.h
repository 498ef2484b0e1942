// One row of "player_o_pc_shot.tsb" / "player_u_pc_shot.tsb" (row = ship x 4
// + power level): the main shot's three streams A, B and C.
#pragma once

#include "game/core/tables/TableRow.h"

#include <cstddef>
#include <cstdint>

struct ShotStream {
    uint16_t attack;  // given to each shot
    int16_t speed;    // units per frame
    int16_t limit;    // live shots per slot
    int16_t interval; // frames between shots; below 1 the stream never fires
};

struct ShotParamRow {
    static constexpr uint32_t kStreams = 3;

    ShotStream streams[kStreams];
};

static_assert(sizeof(ShotStream) == 8 && offsetof(ShotStream, speed) == 2 &&
              offsetof(ShotStream, limit) == 4 && offsetof(ShotStream, interval) == 6);
static_assert(TableRow<ShotParamRow> && sizeof(ShotParamRow) == 24);
