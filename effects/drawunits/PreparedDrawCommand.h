#pragma once

#include "effects/drawunits/GeometryCommand.h"

#include <cstdint>

namespace FulgorCore {

// Where a command of prepared items goes: the reserved vertices, the
// unit's prepared vertex data of the command's first item, the reserved
// indices and first vertex (quads only) and the number of items.
struct PreparedPayload {
    void* vertices = nullptr;
    const void* source = nullptr;
    uint16_t* indices = nullptr;
    uint16_t firstVertex = 0;
    uint32_t itemCount = 0;
};

// The draw command of the particle field (type 4), which splits its
// prepared items into several such commands taken from the record area;
// each copies its items into the room reserved for it.
using PreparedDrawCommand = GeometryCommand<PreparedPayload>;
static_assert(sizeof(PreparedPayload) == 32 && sizeof(PreparedDrawCommand) == 56,
              "the job's table, the unit, the geometry function and the payload");

} // namespace FulgorCore
