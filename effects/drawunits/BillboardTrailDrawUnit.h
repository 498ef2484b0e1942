#pragma once

#include "effects/drawunits/TrailDrawUnitBase.h"

#include <cstdint>

namespace FulgorCore {

// Draw type 12, sub-kind 0: a ribbon along the trail turned toward the
// camera, its width scaled by the owner's plane scale.
template <uint32_t N> class BillboardTrailDrawUnit final : public TrailDrawUnitBase {
public:
    static constexpr uint32_t kAxisArrays = 0;
    // The words ahead of the jitter's value in the record.
    static constexpr uint32_t kLead = 1;

    BillboardTrailDrawUnit(ParticleInstance* owner, const ParticleResource* data,
                           const Values& values)
        : TrailDrawUnitBase(owner, data, values, kAxisArrays, kLead) {}
    // Built from the trail data with the members of this class and format.
    BillboardTrailDrawUnit(ParticleInstance* owner, const ParticleResource* data)
        : TrailDrawUnitBase(owner, data, Members(), kAxisArrays, kLead) {}
    // The build, submit and vertex writer of each flag pair at this
    // format; the builds are the cross trail's (one record layout).
    static const MemberTable& Members();
    using DrawUnit::Update;
    void Update(const DrawClock& clock) override { UpdateTrail<kAxisArrays, N>(clock); }
    // The vertex writer of each variant, for the unit's `write` member.
    template <class Variant = PlainLine> static void WriteVertices(DrawUnit* unit, void* vertices) {
        WriteRibbonVertices<N, kAxisArrays, Variant>(unit, vertices);
    }
};
static_assert(EveryFormatFitsABlock<BillboardTrailDrawUnit>());

} // namespace FulgorCore
