#pragma once

#include "effects/drawunits/TrailDrawUnitBase.h"

#include <cstdint>

namespace FulgorCore {

// Draw type 12, sub-kinds 1-3: a ribbon along the trail whose width lies along
// the owner's axis of the sub-kind (X, Y or Z), as the owner had it at each
// point.
template <uint32_t N> class AxisTrailDrawUnit final : public TrailDrawUnitBase {
public:
    static constexpr uint32_t kAxisArrays = 1;
    // The words ahead of the jitter's value in the record.
    static constexpr uint32_t kLead = 0;

    AxisTrailDrawUnit(ParticleInstance* owner, const ParticleResource* data, const Values& values)
        : TrailDrawUnitBase(owner, data, values, kAxisArrays, kLead) {}
    // Built from the trail data with the members of this class and format.
    AxisTrailDrawUnit(ParticleInstance* owner, const ParticleResource* data)
        : TrailDrawUnitBase(owner, data, Members(), kAxisArrays, kLead) {}
    // The build, submit and vertex writer of each flag pair at this format.
    static const MemberTable& Members();
    using DrawUnit::Update;
    void Update(const DrawClock& clock) override { UpdateTrail<kAxisArrays, N>(clock); }
    // The vertex writer of each variant, for the unit's `write` member.
    template <class Variant = PlainLine> static void WriteVertices(DrawUnit* unit, void* vertices) {
        WriteRibbonVertices<N, kAxisArrays, Variant>(unit, vertices);
    }
};
static_assert(EveryFormatFitsABlock<AxisTrailDrawUnit>());

} // namespace FulgorCore
