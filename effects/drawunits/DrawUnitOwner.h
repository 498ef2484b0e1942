#pragma once

namespace FulgorCore {

class ParticleInstance;

// What the draw units read of their particle beyond the unit getters: the
// axis row its data chose and the mean length of the two other rows.
namespace DrawUnitOwner {

void Axis(const ParticleInstance* particle, float* out);
float PlaneScale(const ParticleInstance* particle);
// The particle's position: the translation row of its world matrix.
const float* Position(const ParticleInstance* particle);

} // namespace DrawUnitOwner
} // namespace FulgorCore
