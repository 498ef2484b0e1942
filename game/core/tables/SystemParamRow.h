// One row per game mode of "system_system.tsb": extends and the values the
// items and the player read.
#pragma once

#include "game/core/tables/TableRow.h"

#include <cstddef>
#include <cstdint>

struct SystemParamRow {
    uint16_t extendsOn; // non-zero: extends are given
    uint16_t unread2;
    int32_t firstExtend; // scores of the first three extends
    int32_t secondExtend;
    int32_t thirdExtend;
    int32_t extendStep;            // added for every extend after the third
    int16_t hyperioAmount;         // Hyperio gauge an item adds
    int16_t hyperioScore;          // score of a Hyperio item
    int16_t powerUpInvincibility;  // invincible frames after a power-up
    uint16_t rebirthInvincibility; // invincible frames after a rebirth
};

static_assert(TableRow<SystemParamRow> && sizeof(SystemParamRow) == 28);
static_assert(offsetof(SystemParamRow, extendsOn) == 0 &&
              offsetof(SystemParamRow, firstExtend) == 4 &&
              offsetof(SystemParamRow, secondExtend) == 8 &&
              offsetof(SystemParamRow, thirdExtend) == 12 &&
              offsetof(SystemParamRow, extendStep) == 16 &&
              offsetof(SystemParamRow, hyperioAmount) == 20 &&
              offsetof(SystemParamRow, hyperioScore) == 22 &&
              offsetof(SystemParamRow, powerUpInvincibility) == 24 &&
              offsetof(SystemParamRow, rebirthInvincibility) == 26);
