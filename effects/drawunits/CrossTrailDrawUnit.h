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
    using DrawUnit::Update;
    void Update(const DrawClock& clock) override { UpdateTrail<kAxisArrays, N>(clock); }
};
static_assert(EveryFormatFitsABlock<CrossTrailDrawUnit>());

} // namespace FulgorCore
