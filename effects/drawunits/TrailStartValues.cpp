#include "effects/drawunits/TrailStartValues.h"

#include "effects/Core/Resource/DrawDataType12.h"
#include "effects/Core/Resource/ParticleResource.h"
#include "effects/drawunits/DrawUnit.h"

#include <cstring>

namespace FulgorCore::ParticleKernel {

namespace {

enum Word : uint32_t {
    kExtra = 0,
    kWidthScale = 1,
    kHeadWidth = 2,
    kMiddleWidth = 3,
    kTailWidth = 4,
    kHeadColor = 5,
    kMiddleColor = 10,
    kTailColor = 15,
    kCentreHeadColor = 20,
    kCentreMiddleColor = 25,
    kCentreTailColor = 30,
};

} // namespace

template <uint32_t Lead> void SampleTrailStartValues(DrawUnit* unit, void* block) {
    float* v = static_cast<float*>(block) + Lead;
    std::memset(v, 0, kTrailRandomValues * sizeof(float));
    const DrawDataType12* trail = unit->unitData->GetDrawDataType12();
    if (!trail)
        return;
    Xorshift128& random = *unit->randomState;
    const bool midKey = trail->GetField(DrawDataType12::kCPE) != 0;
    const bool centreLine = trail->GetField(DrawDataType12::kECE) != 0;
    v[kExtra] = trail->GetFloat(DrawDataType12::kDist).SampleRandom(random);
    v[kWidthScale] = trail->GetFloat(DrawDataType12::kWid).SampleRandom(random);
    v[kHeadWidth] = trail->GetFloat(DrawDataType12::kWidH).SampleRandom(random);
    v[kTailWidth] = trail->GetFloat(DrawDataType12::kWidT).SampleRandom(random);
    trail->GetColor(DrawDataType12::kColH).SampleRandom(random, v + kHeadColor);
    trail->GetColor(DrawDataType12::kColT).SampleRandom(random, v + kTailColor);
    if (midKey) {
        trail->GetColor(DrawDataType12::kColC).SampleRandom(random, v + kMiddleColor);
        v[kMiddleWidth] = trail->GetFloat(DrawDataType12::kWidC).SampleRandom(random);
    }
    if (centreLine) {
        trail->GetColor(DrawDataType12::kCoEH).SampleRandom(random, v + kCentreHeadColor);
        trail->GetColor(DrawDataType12::kCoET).SampleRandom(random, v + kCentreTailColor);
        if (midKey)
            trail->GetColor(DrawDataType12::kCoEC).SampleRandom(random, v + kCentreMiddleColor);
    }
}

template void SampleTrailStartValues<0>(DrawUnit* unit, void* block);
template void SampleTrailStartValues<1>(DrawUnit* unit, void* block);

} // namespace FulgorCore::ParticleKernel
