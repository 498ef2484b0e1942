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
    void Update(const DrawClock& clock) override;
};

} // namespace FulgorCore
