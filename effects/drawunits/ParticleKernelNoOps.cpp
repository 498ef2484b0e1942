#include "effects/drawunits/ParticleKernelNoOps.h"

namespace FulgorCore::ParticleKernel {

void NoOpWithArgument(DrawUnit*, const EvaluationContext&) {}
void NoOpWithTwoArguments(DrawUnit*, const EvaluationContext&, float*) {}
void NoOpWithTwoArguments(DrawUnit*, const EvaluationContext&, uint8_t*) {}
void NoOpWithTwoArguments(const DrawUnit*, float*, const EvaluationContext&) {}

} // namespace FulgorCore::ParticleKernel
