#include "effects/drawunits/TrailStartValues.h"

#include "effects/Core/Resource/DrawDataType12.h"
#include "effects/Core/Resource/ParticleResource.h"
#include "effects/drawunits/DrawUnit.h"

#include <cstring>

namespace FulgorCore::ParticleKernel {

template <uint32_t Lead> void SampleTrailStartValues(DrawUnit* unit, void* block) {
    float* v = static_cast<float*>(block) + Lead;
    std::memset(v, 0, kTrailRandomValues * sizeof(float));
    const DrawDataType12* trail = unit->unitData->GetDrawDataType12();
    if (!trail)
        return;
    Xorshift128& random = *unit->randomState;
    const bool midKey = trail->GetField(DrawDataType12::kCPE) != 0;
    const bool centreLine = trail->GetField(DrawDataType12::kECE) != 0;
    v[kTrailJitter] = trail->GetFloat(DrawDataType12::kDist).SampleRandom(random);
    v[kTrailWidthScale] = trail->GetFloat(DrawDataType12::kWid).SampleRandom(random);
    v[kTrailHeadWidth] = trail->GetFloat(DrawDataType12::kWidH).SampleRandom(random);
    v[kTrailTailWidth] = trail->GetFloat(DrawDataType12::kWidT).SampleRandom(random);
    trail->GetColor(DrawDataType12::kColH).SampleRandom(random, v + kTrailHeadColour);
    trail->GetColor(DrawDataType12::kColT).SampleRandom(random, v + kTrailTailColour);
    if (midKey) {
        trail->GetColor(DrawDataType12::kColC).SampleRandom(random, v + kTrailMiddleColour);
        v[kTrailMiddleWidth] = trail->GetFloat(DrawDataType12::kWidC).SampleRandom(random);
    }
    if (centreLine) {
        trail->GetColor(DrawDataType12::kCoEH).SampleRandom(random, v + kTrailEdgeHeadColour);
        trail->GetColor(DrawDataType12::kCoET).SampleRandom(random, v + kTrailEdgeTailColour);
        if (midKey)
            trail->GetColor(DrawDataType12::kCoEC).SampleRandom(random, v + kTrailEdgeMiddleColour);
    }
}

template void SampleTrailStartValues<0>(DrawUnit* unit, void* block);
template void SampleTrailStartValues<1>(DrawUnit* unit, void* block);

} // namespace FulgorCore::ParticleKernel
