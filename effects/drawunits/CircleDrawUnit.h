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

    // The rim writer of the facing axis: (unit, the first rim vertex, the
    // segment count n, the record's world matrix, its first texture
    // transform) writes x, y, z and the N texture words of the n rim
    // vertices; the rest of each vertex is the fan writer's.
    using RimWriter = void (*)(const CircleDrawUnit* unit, void* firstRim, int32_t n,
                               const float* matrix, const float* transforms);

    // The rim writers by facing axis, X (the local YZ plane), Y (XZ), Z
    // (XY): rim point i of the table of n segments, (s, c) = (sin, cos), at
    // (0, c, s), (s, 0, c) or (-s, c, 0) through the matrix, so the rim runs
    // counter-clockwise from the plane's second axis (X, Z) or against it
    // (Y); each set's transform of the plane point (-s / 2, -c / 2) (X, Z)
    // or (s / 2, c / 2) (Y), times 1000 in 16 bits.
    template <uint32_t Axis>
    static void WriteCircleVertices(const CircleDrawUnit* unit, void* firstRim, int32_t n,
                                    const float* matrix, const float* transforms);
    static const RimWriter kRimWriters[3];

    // Takes the record's block; without one the particle ends.
    // `countSample` is the unit random value of the segment count.
    CircleDrawUnit(ParticleInstance* owner, const ParticleResource* data, float countSample);
    // Built from its data: the record, the unit random value of the count
    // and the rim writer of the facing axis. Without a record the particle
    // ends, nothing is sampled and no rim writer is chosen.
    CircleDrawUnit(ParticleInstance* owner, const ParticleResource* data);
    ~CircleDrawUnit() override;
    using DrawUnit::Update;
    void Update(const DrawClock& clock) override;
    // Reserves the centre and n rim vertices and 3n indices under the
    // unit's state and submits the fan's command. A unit whose rim writer
    // was not chosen draws nothing.
    void Draw() override;

    DrawCommand command;
    CircleFrameRecord<N>* record = nullptr;
    RimWriter writeRim = nullptr;
    float countSample = 0.0f;
    int32_t segmentCount = kFewestSegments;
    int32_t vertexCount = kFewestSegments + 1;
    uint8_t parameters[4] = {};
};

// Built, rim writer table included, for the seven formats in one place.
extern template class CircleDrawUnit<0>;
extern template class CircleDrawUnit<1>;
extern template class CircleDrawUnit<2>;
extern template class CircleDrawUnit<3>;
extern template class CircleDrawUnit<4>;
extern template class CircleDrawUnit<5>;
extern template class CircleDrawUnit<6>;

} // namespace FulgorCore
