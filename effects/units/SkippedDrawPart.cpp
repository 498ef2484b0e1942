#include "effects/units/SkippedDrawPart.h"

namespace FulgorCore {

ParticleDrawPart* SkippedDrawPart::Instance() {
    static SkippedDrawPart skipped;
    return &skipped;
}

} // namespace FulgorCore
