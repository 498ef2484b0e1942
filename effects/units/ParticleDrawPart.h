#pragma once

#include "effects/drawunits/DrawClock.h"
#include "effects/units/UnitPoolPart.h"

#include <cstdint>

namespace FulgorCore {

// What a particle instance and the renderer ask of each of the particle's
// draw units. The draw units derive from it; the particle deletes them
// before its own body goes.
class ParticleDrawPart : public UnitPoolPart {
public:
    // The particle's own step of the frame, after its emitters.
    virtual void Step() {}
    // The particle's transform step, after its extra unit: the unit's
    // per-frame values from the particle's clock. Every draw unit of a
    // particle is given the same copy of that clock.
    virtual void Update(const DrawClock& clock) = 0;
    // The renderer draws the unit from a draw list: it reserves its
    // geometry and hands its command over. Out of line: seen here, the
    // compiler would guess this empty body at every unit the renderer
    // draws and test each unit's call against it.
    virtual void Draw();

    // The material's render-state word (blend mode in bits 4-6), which a
    // fade-out that starts turns from opaque to alpha blending.
    uint32_t stateWord = 0;
};

} // namespace FulgorCore
