#include "effects/drawunits/DrawUnitOwner.h"

#include "effects/units/ParticleInstance.h"

namespace FulgorCore::DrawUnitOwner {

void Axis(const ParticleInstance* particle, float* out) {
    particle->axisMember(particle, out);
}

float PlaneScale(const ParticleInstance* particle) {
    return particle->planeScaleMember(particle);
}

const float* Position(const ParticleInstance* particle) {
    return particle->GetWorldMatrix() + 9;
}

} // namespace FulgorCore::DrawUnitOwner
