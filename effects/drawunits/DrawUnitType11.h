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
    // What a frame reads and writes fits the one cache line after the
    // command: with thousands of flipbooks a second line each pushed a
    // frame's data out of the cache. The book's offset is read from the
    // part's record, which all its units share.
    // The part's flipbook record, null when the data has none.
    const DrawDataType11* flipbook;
    float pivotX = 0.0f;
    float pivotY = 0.0f;
    float size[2] = {};
    float orientation[3] = {};
    uint16_t packedColor[4] = {};
    // The duration of the current frame, as a frame's step compares it.
    float frameDuration = 0.0f;
    float frameTime = 0.0f;
    // The sum of the durations: 0 keeps the first frame.
    float cycleLength = 0.0f;
    uint16_t frameIndex = 0;
    uint16_t frameCount = 0;
    uint8_t orientationFlags = 0;
};

static_assert(sizeof(DrawUnitType11) <= sizeof(DrawUnit) + sizeof(DrawCommand) + 64,
              "a flipbook's frame members fit one cache line");

} // namespace FulgorCore
