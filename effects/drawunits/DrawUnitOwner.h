#pragma once

#include "effects/units/ParticleInstance.h"

#include <cstdint>

namespace FulgorCore {

// What the draw units read of their particle beyond the unit getters: the
// axis row its data chose and the mean length of the two other rows.
namespace DrawUnitOwner {

// Inline: every draw unit reads them each frame.
inline void Axis(const ParticleInstance* particle, float* out) {
    particle->axisMember(particle, out);
}
inline float PlaneScale(const ParticleInstance* particle) {
    return particle->planeScaleMember(particle);
}
// The particle's position: the translation row of its world matrix.
inline const float* Position(const ParticleInstance* particle) {
    return particle->GetWorldMatrix() + 9;
}
// The scale and the extra z angle the particle took from its spawner, which
// the particle fields scale and turn their points by.
void BlockScale(const ParticleInstance* particle, float* out);
float BlockAngleZ(const ParticleInstance* particle);
// The unit whose local space holds a local trail's points: from the
// particle's parent upward, past every particle that does not follow its
// parent (transform mode 2, or 3 with its position from the spawner).
// Null when the particle has no parent.
const UnitInstance* ReferenceUnit(const ParticleInstance* particle);

// The facing axis of the particle's plane-shaped draw units (rings,
// circles, quads): 0 X, 1 Y, 2 Z. The data's fourth value, 3, is read as Z,
// the XY plane the particle itself keeps for it, so the units agree with
// the particle's own axis and plane scale rather than read past their
// three-entry tables.
uint32_t FacingAxis(const ParticleInstance* particle);

} // namespace DrawUnitOwner
} // namespace FulgorCore
