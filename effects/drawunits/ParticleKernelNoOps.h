#pragma once

#include "effects/Core/Value/EvaluationContext.h"

#include <cstdint>

namespace FulgorCore {

class DrawUnit;

namespace ParticleKernel {

// The shared empty kernels: entry 0 of each mask-indexed table, and every
// entry whose mask names nothing the family evaluates.
void NoOpWithArgument(DrawUnit* unit, const EvaluationContext& context);
void NoOpWithTwoArguments(DrawUnit* unit, const EvaluationContext& context, float* block);
void NoOpWithTwoArguments(DrawUnit* unit, const EvaluationContext& context, uint8_t* record);

} // namespace ParticleKernel
} // namespace FulgorCore
