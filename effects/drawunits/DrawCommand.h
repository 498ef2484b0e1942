#pragma once

#include "effects/Core/Interface/Job.h"

#include <cstdint>

namespace FulgorCore {

class DrawUnit;

// Where a command's geometry goes: the reserved vertices, the reserved
// indices (none for an unindexed draw) and the number of the first
// reserved vertex in its buffer.
struct DrawPayload {
    void* vertices = nullptr;
    uint16_t* indices = nullptr;
    uint16_t firstVertex = 0;
};

// A draw unit's geometry write as a job of the runtime: its `Draw` fills
// the payload and hands the command to the submit function, which runs it
// at once or on the host's dispatcher. The unit keeps its command, so a
// unit is drawn at most once a frame.
class DrawCommand : public Job {
public:
    using Geometry = void (*)(DrawUnit* unit, const DrawPayload& payload);

    explicit DrawCommand(DrawUnit* owner) : unit(owner) {}
    void Execute() override {
        if (geometry)
            geometry(unit, payload);
    }

    DrawUnit* unit;
    Geometry geometry = nullptr;
    DrawPayload payload;
};
static_assert(sizeof(DrawPayload) == 24 && sizeof(DrawCommand) == 48,
              "the job's table, the unit, the geometry function and the payload");

} // namespace FulgorCore
