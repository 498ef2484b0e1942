// One row of a mode's bullet table ("ebss_easy_bullet.tsb" and its siblings):
// the look of an enemy bullet.
#pragma once

#include "game/core/tables/TableRow.h"
#include "game/core/tables/TexelRect.h"

#include <cstddef>
#include <cstdint>

struct BulletParamRow {
    static constexpr uint32_t kTrackFrames = 3;

    uint8_t unread0[18];
    TexelRect blendTrack[kTrackFrames]; // the alpha-blended sprite
    TexelRect addTrack[kTrackFrames];   // the additive sprite
    uint8_t spin;
    uint8_t unread67;
    int16_t spinPeriod; // frames per full turn
    uint8_t unread70[10];
};

static_assert(TableRow<BulletParamRow> && sizeof(BulletParamRow) == 80);
static_assert(offsetof(BulletParamRow, blendTrack) == 18 &&
              offsetof(BulletParamRow, addTrack) == 42 && offsetof(BulletParamRow, spin) == 66 &&
              offsetof(BulletParamRow, spinPeriod) == 68);
