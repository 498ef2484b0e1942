// One row of a mode's bullet effect table ("ebss_easy_bulletfx.tsb" and its
// siblings), the size of a bullet row. Nothing reads its fields yet; the
// sample rows carry their own number first.
#pragma once

#include "game/core/tables/TableRow.h"

#include <cstddef>
#include <cstdint>

struct BulletFxRow {
    int16_t number;
    uint8_t unread2[78];
};

static_assert(TableRow<BulletFxRow> && sizeof(BulletFxRow) == 80);
