#pragma once

#include "effects/Core/Interface/Job.h"

#include <cstdint>

namespace FulgorCore {

class DrawUnit;

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
class PreparedDrawCommand : public Job {
public:
    using Geometry = void (*)(DrawUnit* unit, const PreparedPayload& payload);

    explicit PreparedDrawCommand(DrawUnit* owner) : unit(owner) {}
    void Execute() override {
        if (geometry)
            geometry(unit, payload);
    }

    DrawUnit* unit;
    Geometry geometry = nullptr;
    PreparedPayload payload;
};
static_assert(sizeof(PreparedPayload) == 32 && sizeof(PreparedDrawCommand) == 56,
              "the job's table, the unit, the geometry function and the payload");

} // namespace FulgorCore
