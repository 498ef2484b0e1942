#pragma once

#include "effects/drawunits/DrawCommand.h"
#include "effects/drawunits/DrawUnit.h"
#include "effects/drawunits/DrawUnitRecords.h"

#include <cstdint>

namespace FulgorCore {

// Draw type 8, a filled circle (a fan of n segments about its centre) in
// the plane of its facing axis, written by its embedded command from its
// frame record (one pool block).
template <uint32_t N> class CircleDrawUnit final : public DrawUnit {
public:
    static constexpr int32_t kFewestSegments = 3;
    static constexpr int32_t kMostSegments = 64;

    // Takes the record's block; without one the particle ends.
    // `countSample` is the unit random value of the segment count.
    CircleDrawUnit(ParticleInstance* owner, const ParticleResource* data, float countSample);
    ~CircleDrawUnit() override;
    using DrawUnit::Update;
    void Update(const DrawClock& clock) override;
    // The fan's command comes with the draw submission.
    void Draw() override {}

    DrawCommand command;
    CircleFrameRecord<N>* record = nullptr;
    float countSample;
    int32_t segmentCount = kFewestSegments;
    int32_t vertexCount = kFewestSegments + 1;
    uint8_t parameters[4] = {};
};

} // namespace FulgorCore
