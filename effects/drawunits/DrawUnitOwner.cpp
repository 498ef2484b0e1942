#include "effects/drawunits/DrawUnitOwner.h"

#include "effects/Core/Math/FastRoot.h"
#include "effects/units/ParticleInstance.h"

namespace FulgorCore::DrawUnitOwner {

namespace {

float RowLength(const float* row) {
    return Math::ApproxSqrt(row[0] * row[0] + row[1] * row[1] + row[2] * row[2]);
}

} // namespace

// Least form until the particle carries its axis members: no axis, with
// the XY plane.
void Axis(const ParticleInstance*, float* out) {
    out[0] = 0.0f;
    out[1] = 0.0f;
    out[2] = 0.0f;
}

float PlaneScale(const ParticleInstance* particle) {
    const float* m = particle->GetWorldMatrix();
    return (RowLength(m) + RowLength(m + 3)) * 0.5f;
}

const float* Position(const ParticleInstance* particle) {
    return particle->GetWorldMatrix() + 9;
}

} // namespace FulgorCore::DrawUnitOwner
