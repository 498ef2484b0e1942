#include "effects/Core/Resource/DrawDataType6.h"
#include "effects/Core/Resource/ParticleResource.h"
#include "effects/drawunits/RibbonWriter.h"
#include "effects/drawunits/StripDrawUnitBase.h"

#include <cstring>

namespace FulgorCore {

uint32_t StripDrawUnitBase::MiddleIndex() const {
    const DrawDataType6* strip = unitData->GetDrawDataType6();
    return strip ? strip->GetFieldB(DrawDataType6::kPtCN) : 0u;
}

template <uint32_t N, class Variant>
void StripDrawUnitBase::WriteLineRibbon(DrawUnit* unit, void* vertices) {
    const auto& strip = *static_cast<const StripDrawUnitBase*>(unit);
    const StripFrameRecord& r = *strip.record;
    RibbonInput in;
    in.pointCount = strip.pointCount;
    if constexpr (Variant::kTwoRanges)
        in.middle = strip.MiddleIndex();
    in.polygonOffset = strip.GetPolygonOffset();
    std::memcpy(in.parameters, r.parameters, sizeof(in.parameters));
    in.textureWords = r.textureWords;
    in.positions = strip.points;
    CopyViewVector(in.camera);
    WriteRibbon<N, FacingCamera, Variant>(vertices, in, r);
}

#define FULGOR_LINE_WRITERS(N)                                                                     \
    template void StripDrawUnitBase::WriteLineRibbon<N, PlainLine>(DrawUnit*, void*);              \
    template void StripDrawUnitBase::WriteLineRibbon<N, CentreLine>(DrawUnit*, void*);             \
    template void StripDrawUnitBase::WriteLineRibbon<N, MidKey>(DrawUnit*, void*);                 \
    template void StripDrawUnitBase::WriteLineRibbon<N, MidKeyCentreLine>(DrawUnit*, void*);
FULGOR_LINE_WRITERS(0)
FULGOR_LINE_WRITERS(1)
FULGOR_LINE_WRITERS(2)
FULGOR_LINE_WRITERS(3)
FULGOR_LINE_WRITERS(4)
FULGOR_LINE_WRITERS(5)
FULGOR_LINE_WRITERS(6)
#undef FULGOR_LINE_WRITERS

} // namespace FulgorCore
