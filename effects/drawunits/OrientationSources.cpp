#include "effects/drawunits/OrientationSources.h"

#include "effects/units/ParticleInstance.h"

namespace FulgorCore::OrientationSources {

namespace {

void Keep(const ParticleInstance*, float*) {}

void RotationXY(const ParticleInstance* particle, float* out) {
    particle->GetVector5(out);
}

void RotationZ(const ParticleInstance* particle, float* out) {
    particle->GetVector6(out);
}

void OwnRotation(const ParticleInstance* particle, float* out) {
    particle->GetVector4(out);
}

} // namespace

const Selector kPattern[kSelectors] = {Keep, RotationXY, RotationZ, OwnRotation};
const Selector kFlipbook[kSelectors] = {Keep, RotationXY, RotationZ, OwnRotation};

} // namespace FulgorCore::OrientationSources
