#pragma once

#include "effects/drawunits/DrawCommand.h"
#include "effects/drawunits/DrawUnit.h"

#include <cstddef>
#include <cstdint>

namespace FulgorCore {

class DrawDataType11;

// Draw type 11: a camera-facing sprite playing a flipbook, each frame with
// its own package texture, atlas rectangle, size and pivot, shown for its
// duration in the particle's frames. A flipbook without frames neither
// updates nor draws; one whose durations are all 0 stays on its first
// frame.
class DrawUnitType11 : public DrawUnit {
public:
    // One frame of the flipbook as the data holds it (28 bytes).
    struct FrameRecord {
        uint16_t texture;
        uint16_t duration;
        uint16_t u0, v0, u1, v1;
        float width, height;
        float pivotX, pivotY;
    };

    static_assert(sizeof(FrameRecord) == 28 && offsetof(FrameRecord, width) == 12 &&
                      offsetof(FrameRecord, pivotY) == 24,
                  "a frame record is the image of the data's 28-byte entry");

    DrawUnitType11(ParticleInstance* owner, const ParticleResource* data);
    using DrawUnit::Update;
    void Update(const DrawClock& clock) override;
    void Draw() override;

    static void WriteBillboardQuad(DrawUnit* unit, const DrawPayload& payload);

    DrawCommand command;
    // The part's flipbook record, null when the data has none.
    const DrawDataType11* flipbook;
    float pivotX = 0.0f;
    float pivotY = 0.0f;
    float size[2] = {};
    float orientation[3] = {};
    uint16_t packedColor[4] = {};
    uint32_t frameIndex = 0;
    float frameTime = 0.0f;
    float offsetX = 0.0f;
    float offsetY = 0.0f;
    uint16_t orientationFlags = 0;
    uint32_t frameCount = 0;
    // The sum of the durations: 0 keeps the first frame.
    float cycleLength = 0.0f;
};

} // namespace FulgorCore
