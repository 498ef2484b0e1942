#pragma once

#include "effects/drawunits/GeometryCommand.h"

#include <cstdint>

namespace FulgorCore {

// Where a command's geometry goes: the reserved vertices, the reserved
// indices (none for an unindexed draw) and the number of the first
// reserved vertex in its buffer.
struct DrawPayload {
    void* vertices = nullptr;
    uint16_t* indices = nullptr;
    uint16_t firstVertex = 0;
};

// The command of most draw units: the unit keeps it, so a unit is drawn at
// most once a frame (strips take theirs from the record area).
using DrawCommand = GeometryCommand<DrawPayload>;
static_assert(sizeof(DrawPayload) == 24 && sizeof(DrawCommand) == 48,
              "the job's table, the unit, the geometry function and the payload");

} // namespace FulgorCore
