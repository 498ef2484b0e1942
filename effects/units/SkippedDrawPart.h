#pragma once

#include "effects/units/ParticleDrawPart.h"

namespace FulgorCore {

// What stands in a particle's draw-unit place whose data its class
// refuses: it does nothing each
// frame and is in no draw list. One object serves every particle; it lives
// in no pool block and is never deleted.
class SkippedDrawPart final : public ParticleDrawPart {
public:
    static ParticleDrawPart* Instance();

    void Update(const DrawClock&) override {}

private:
    SkippedDrawPart() = default;
};

} // namespace FulgorCore
