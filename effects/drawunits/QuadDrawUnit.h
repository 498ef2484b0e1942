#pragma once

#include "effects/drawunits/DrawCommand.h"
#include "effects/drawunits/DrawUnit.h"
#include "effects/drawunits/DrawUnitRecords.h"
#include "effects/drawunits/QuadShape.h"

#include <cstdint>

namespace FulgorCore {

// Draw type 9, a quad in the plane of its facing axis, written by its
// embedded command from its frame record (one pool block); its texture
// transforms are the corners' coordinates per set.
template <uint32_t N> class QuadDrawUnit final : public DrawUnit {
public:
    // The corner member of the facing axis: (unit, out 12 floats, the
    // record's world matrix) writes the four corners, x, y, z each, in the
    // order the quad's indices take them (top-left, top-right, bottom-left,
    // bottom-right of the facing plane).
    using CornerMember = void (*)(const QuadDrawUnit* unit, float* corners, const float* matrix);

    // The corner members by facing axis (0 X, 1 Y, 2 Z): the unit's shape.
    template <uint32_t Axis>
    static void ComputeQuadCorners(const QuadDrawUnit* unit, float* corners, const float* matrix) {
        unit->shape.template ComputeCorners<Axis>(corners, matrix);
    }
    static constexpr CornerMember kCornerMembers[3] = {ComputeQuadCorners<0>, ComputeQuadCorners<1>,
                                                       ComputeQuadCorners<2>};

    // Built from its data: takes the record's block, then the corner
    // member of the facing axis and the shape of the data's size and pivot
    // (which never animate). Without a record the particle ends and
    // neither is set.
    QuadDrawUnit(ParticleInstance* owner, const ParticleResource* data);
    ~QuadDrawUnit() override;
    using DrawUnit::Update;
    void Update(const DrawClock& clock) override;
    // Reserves 4 vertices and 6 indices under the unit's state and submits
    // the quad's command. A unit whose corner member was not chosen draws
    // nothing.
    void Draw() override;
    // The four corners: position, the polygon offset (fetched once), the
    // record's colour, the parameter bytes and each set's (u, v) of the
    // corner times 1000.
    void WriteVertices(void* vertices) const;

    DrawCommand command;
    QuadFrameRecord<N>* record = nullptr;
    CornerMember computeCorners = nullptr;
    QuadShape shape;
    uint8_t parameters[4] = {};
};

} // namespace FulgorCore
