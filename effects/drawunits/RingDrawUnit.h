#pragma once

#include "effects/drawunits/DrawCommand.h"
#include "effects/drawunits/DrawUnit.h"
#include "effects/drawunits/DrawUnitOps.h"

#include <cstdint>

namespace FulgorCore {

struct RingFrameRecord;

// Draw type 7, a band around a circle in the plane of its facing axis.
// One class, one virtual table, for every vertex format: what the format
// changes is in the members the constructor stores (the frame geometry
// build, the submit, and in the last entry the ring-point transform of the
// facing axis), so Update and Draw only forward to them.
class RingDrawUnit final : public DrawUnit {
public:
    // What the data decided: the vertex format, the segment count and the
    // chosen members.
    struct Values {
        uint32_t format = 0;
        uint32_t segmentCount = 0;
        DrawUnitOps ops;
    };

    // Takes the frame record's block; without one the particle ends.
    RingDrawUnit(ParticleInstance* owner, const ParticleResource* data, const Values& values);
    ~RingDrawUnit() override;
    using DrawUnit::Update;
    void Update(const DrawClock& clock) override;
    void Draw() override;

    DrawCommand command;
    DrawUnitOps ops;
    RingFrameRecord* record = nullptr;
    uint32_t format;
    uint32_t segmentCount;
    uint8_t parameters[4] = {};
};

} // namespace FulgorCore
