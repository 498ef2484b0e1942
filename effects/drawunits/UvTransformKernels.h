#pragma once

#include "effects/Core/Value/EvaluationContext.h"

#include <cstdint>

namespace FulgorCore {

class DrawUnit;

namespace ParticleKernel {

// The texture-coordinate transforms of a unit with N sets (1-6): each set
// of the unit data evaluated with its five unit random values, then turned
// into 8 floats at out + 8i (two matrix rows, or a quad's four corners).
// Nothing past the 8N floats is written.

// Matrix by bit i of `offsetFirstMask`: scale-rotate-offset or
// offset-rotate-scale, both about the origin (strips, rings, circles,
// projections, trails).
template <uint32_t N>
void EvaluateUvTransforms(DrawUnit* unit, float* out, const EvaluationContext& context,
                          uint8_t offsetFirstMask);
// Matrix by bit i of `pivotMask` (about the texture centre) plus twice bit i
// of `offsetFirstMask` (models, meshes).
template <uint32_t N>
void EvaluateUvTransformsTwoMasks(DrawUnit* unit, float* out, const EvaluationContext& context,
                                  uint8_t pivotMask, uint8_t offsetFirstMask);
// A quad's corners by the set's own two flag bits: bit 0 clear gives the
// offset at every corner, set the corners mapped about the centre, bit 1
// with the offset first.
template <uint32_t N>
void EvaluateUvTransformsSplit(DrawUnit* unit, float* out, const EvaluationContext& context);

} // namespace ParticleKernel
} // namespace FulgorCore
