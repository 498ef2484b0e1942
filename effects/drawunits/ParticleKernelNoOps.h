#pragma once

#include "effects/Core/Value/EvaluationContext.h"

#include <cstdint>

namespace FulgorCore {

class DrawUnit;

namespace ParticleKernel {

// The shared empty kernels: entry 0 of each mask-indexed table, every
// entry whose mask names nothing the family evaluates, and the members of a
// property a unit does not have.
void NoOpWithArgument(DrawUnit* unit, const EvaluationContext& context);
void NoOpWithTwoArguments(DrawUnit* unit, const EvaluationContext& context, float* block);
void NoOpWithTwoArguments(DrawUnit* unit, const EvaluationContext& context, uint8_t* record);
// The size member of a unit without a draw size: the vector stays.
void NoOpWithTwoArguments(const DrawUnit* unit, float* vector, const EvaluationContext& context);

} // namespace ParticleKernel
} // namespace FulgorCore
