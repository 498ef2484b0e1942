#include "effects/units/ParticleDrawPart.h"

namespace FulgorCore {

void ParticleDrawPart::Draw() {}

} // namespace FulgorCore
