// One 32-byte name of a name table ("enemy_tex_names.tsb" and its
// siblings), zero-padded.
#pragma once

#include "game/core/tables/TableRow.h"

struct NameRow {
    static constexpr unsigned kSize = 32;

    char text[kSize];
};

static_assert(TableRow<NameRow> && sizeof(NameRow) == NameRow::kSize);
