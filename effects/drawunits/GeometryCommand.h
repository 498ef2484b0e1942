#pragma once

#include "effects/Core/Interface/Job.h"

namespace FulgorCore {

class DrawUnit;

// A draw unit's geometry write as a job of the runtime: the unit's draw
// fills the payload (where the geometry goes) and hands the command to the
// submit function, which runs it at once or on the host's dispatcher; the
// geometry function then writes into the reserved room.
template <class Payload> class GeometryCommand : public Job {
public:
    using Geometry = void (*)(DrawUnit* unit, const Payload& payload);

    explicit GeometryCommand(DrawUnit* owner) : unit(owner) {}
    void Execute() override {
        if (geometry)
            geometry(unit, payload);
    }

    DrawUnit* unit;
    Geometry geometry = nullptr;
    Payload payload;
};

} // namespace FulgorCore
