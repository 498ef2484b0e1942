// One u16 of "map_attribute_table.tsb": what a map cell value places.
#pragma once

#include "game/core/tables/TableRow.h"

#include <cstdint>

struct MapAttributeEntry {
    uint16_t value;
};

static_assert(TableRow<MapAttributeEntry> && sizeof(MapAttributeEntry) == 2);
