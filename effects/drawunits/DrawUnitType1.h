#pragma once

#include "effects/drawunits/DrawCommand.h"
#include "effects/drawunits/DrawUnit.h"

#include <cstdint>

namespace FulgorCore {

class DrawDataType1;

// Draw type 1: a line from the particle along its chosen axis, "Len" long,
// coloured "TCol" at the particle and "HCol" at the far end (each times the
// unit's draw colour). No texture slot is compared when it draws.
class DrawUnitType1 : public DrawUnit {
public:
    DrawUnitType1(ParticleInstance* owner, const ParticleResource* data);
    using DrawUnit::Update;
    void Update(const DrawClock& clock) override;
    void Draw() override;

    static void WriteLineGeometry(DrawUnit* unit, const DrawPayload& payload);

    DrawCommand command;
    // The part's line record, null when the data has none (nothing drawn).
    const DrawDataType1* line;
    uint16_t tipColor[4] = {};
    uint16_t rootColor[4] = {};
    float endPoint[3] = {};
    // Bytes 0 and 1 have no writer for lines and stay 0.
    uint8_t parameters[4] = {};
    float lengthRandom = 0.0f;
    // What every frame reads lies on the line after the command; the
    // colour samples, read only by random colours, follow.
    float tipColorRandoms[5] = {};
    float rootColorRandoms[5] = {};
};

} // namespace FulgorCore
