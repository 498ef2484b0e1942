#pragma once

#include "effects/drawunits/DrawCommand.h"
#include "effects/drawunits/DrawUnit.h"
#include "effects/drawunits/DrawUnitExtraBlock.h"

#include <cstdint>

namespace FulgorCore {

class DrawDataType3;

// Draw type 3: a band facing the camera along a segment of "Len" centred on
// the particle (along its chosen axis), "Wid" wide, with an end piece one
// width long at each end: three quads, eight vertices.
class DrawUnitType3 : public DrawUnit {
public:
    DrawUnitType3(ParticleInstance* owner, const ParticleResource* data);
    using DrawUnit::Update;
    void Update(const DrawClock& clock) override;
    void Draw() override;

    // Faces the renderer's view vector (the camera in view 0, the origin
    // in views 1 and 2).
    static void WriteCappedLineGeometry(DrawUnit* unit, const DrawPayload& payload);

    DrawCommand command;
    // The part's band record, null when the data has none (nothing drawn).
    const DrawDataType3* segment;
    // A second pool block the band keeps for its life and never reads;
    // null when the pool had none, which changes nothing for the band.
    DrawUnitExtraBlock extraBlock;
    float widthRandom = 0.0f;
    float lengthRandom = 0.0f;
    float halfExtent[3] = {};
    uint16_t packedColor[4] = {};
    float width = 0.0f;
    uint8_t parameters[4] = {};
};

} // namespace FulgorCore
