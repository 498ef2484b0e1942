#pragma once

#include "effects/drawunits/TrailDrawUnitBase.h"

#include <cstdint>

namespace FulgorCore {

// Draw type 12, sub-kind 4: two ribbons crossing along the trail, their
// widths along the owner's X and Y axes as it had them at each point.
template <uint32_t N> class CrossTrailDrawUnit final : public TrailDrawUnitBase {
public:
    static constexpr uint32_t kAxisArrays = 2;
    // The words ahead of the jitter's value in the record.
    static constexpr uint32_t kLead = 1;

    CrossTrailDrawUnit(ParticleInstance* owner, const ParticleResource* data, const Values& values)
        : TrailDrawUnitBase(owner, data, values, kAxisArrays, kLead) {}
    // Built from the trail data with the members of this class and format.
    CrossTrailDrawUnit(ParticleInstance* owner, const ParticleResource* data)
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
static_assert(EveryFormatFitsABlock<CrossTrailDrawUnit>());

} // namespace FulgorCore
