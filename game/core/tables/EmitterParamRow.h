// One row of a mode's emitter table ("ebss_easy_ebss.tsb" and its siblings):
// how one bullet emitter times and aims its shots. Angles are degrees.
#pragma once

#include "game/core/tables/TableRow.h"

#include <cstddef>
#include <cstdint>

struct EmitterParamRow {
    // The row's number within its loop section; 1 starts the second loop's
    // section, which the loader renumbers to absolute rows.
    uint16_t number;
    int16_t bullet; // row of the bullet table and the bullet texture index
    uint8_t unread4[4];
    uint8_t playSound; // on each shot
    uint8_t unread9;
    int16_t soundId;
    int16_t startWait; // frames after creation before the first cycle
    int16_t lifetime;  // frames after creation the emitter works
    int16_t preFireWait;
    int16_t rest; // after a burst
    int16_t shotsPerBurst;
    int16_t shotGap;
    int16_t speed;      // of the bullets, game units per frame
    int8_t randomDelay; // 1-100; other values: none
    uint8_t aimed;      // at the player
    uint8_t aimOnce;    // once per burst
    uint8_t unread29;
    int16_t direction; // fixed
    int16_t ways;      // bullets per shot
    int16_t spread;
    uint8_t randomDirection; // within the spread
    int8_t speedStep;        // per shot, in tenths
    uint8_t rotating;        // aiming is then off
    uint8_t rotateBack;      // the other way
    int16_t rotationStep;    // per shot
    uint16_t unread42;
};

static_assert(TableRow<EmitterParamRow> && sizeof(EmitterParamRow) == 44);
static_assert(
    offsetof(EmitterParamRow, bullet) == 2 && offsetof(EmitterParamRow, playSound) == 8 &&
    offsetof(EmitterParamRow, soundId) == 10 && offsetof(EmitterParamRow, startWait) == 12 &&
    offsetof(EmitterParamRow, lifetime) == 14 && offsetof(EmitterParamRow, preFireWait) == 16 &&
    offsetof(EmitterParamRow, rest) == 18 && offsetof(EmitterParamRow, shotsPerBurst) == 20 &&
    offsetof(EmitterParamRow, shotGap) == 22 && offsetof(EmitterParamRow, speed) == 24 &&
    offsetof(EmitterParamRow, randomDelay) == 26 && offsetof(EmitterParamRow, aimed) == 27 &&
    offsetof(EmitterParamRow, aimOnce) == 28 && offsetof(EmitterParamRow, direction) == 30 &&
    offsetof(EmitterParamRow, ways) == 32 && offsetof(EmitterParamRow, spread) == 34 &&
    offsetof(EmitterParamRow, randomDirection) == 36 &&
    offsetof(EmitterParamRow, speedStep) == 37 && offsetof(EmitterParamRow, rotating) == 38 &&
    offsetof(EmitterParamRow, rotateBack) == 39 && offsetof(EmitterParamRow, rotationStep) == 40);
