#pragma once

#include "effects/drawunits/StripDrawUnitBase.h"

#include <cstdint>

namespace FulgorCore {

// A strip of vertex format N: its Update runs the vertex parameters, the
// point member, the N texture transforms and the frame geometry build.
template <uint32_t N> class StripDrawUnit final : public StripDrawUnitBase {
public:
    using DrawUnit::Update;
    using StripDrawUnitBase::StripDrawUnitBase;
    // Built from the strip data with the members of this format.
    StripDrawUnit(ParticleInstance* owner, const ParticleResource* data)
        : StripDrawUnitBase(owner, data, Members()) {}
    // The build and submit of every source and flag pair at this format.
    static const MemberTable& Members();
    void Update(const DrawClock& clock) override;
    // The generated line's vertex writer of each variant.
    template <class Variant> static void WriteLineVertices(DrawUnit* unit, void* vertices) {
        WriteLineRibbon<N, Variant>(unit, vertices);
    }
};

} // namespace FulgorCore
