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
    using DrawUnit::Update;
    void Update(const DrawClock& clock) override { UpdateTrail<kAxisArrays, N>(clock); }
};
static_assert(EveryFormatFitsABlock<BillboardTrailDrawUnit>());

} // namespace FulgorCore
