#pragma once

#include "effects/drawunits/DrawUnit.h"
#include "effects/drawunits/DrawUnitSteps.h"
#include "effects/drawunits/ParticleField.h"
#include "effects/drawunits/PreparedDrawCommand.h"

#include <cstdint>

namespace FulgorCore {

class DrawDataType4;

// Draw type 4: a field of simulated points kept in frame memory, each a
// 192-byte state carried from frame to frame (never read once frame memory
// has handed its block out again: the field then starts over from its
// emission table), prepared into vertices each update and submitted in
// batches as lines or quads. It never animates its texture slot. Data with
// a mode past 2, without points, or whose points would take more than 32
// bits of bytes is refused: the unit is built, so the values of the base
// are drawn as for any unit, but it keeps no point and draws nothing.
class DrawUnitType4 : public DrawUnit {
public:
    enum Mode : uint32_t { kLines = 0, kFadingLines = 1, kQuads = 2 };
    static constexpr uint32_t kLineVertexBytes = 64;
    static constexpr uint32_t kQuadVertexBytes = 192;
    // Items a command copies at most.
    static constexpr uint32_t kItemsPerCommand = 32;

    static bool Accepts(const ParticleResource& data);
    // count x multiplier, or 0 when the multiplier is not positive or the
    // points' states would take more than 32 bits of bytes.
    static uint32_t PointCountFor(uint32_t count, int32_t multiplier);

    DrawUnitType4(ParticleInstance* owner, const ParticleResource* data);

    // The item preparers, one chosen from the data at construction: lines
    // and fading lines (variant 1 in the owner's space), quads (variant =
    // owner space + 2 x square + 4 x without the owner's rotation). Each
    // writes one item per point state, dead ones included (at the origin),
    // and a line's head becomes its point's tail for the next frame.
    template <Mode M, uint32_t Variant>
    static void PrepareVertices(DrawUnitType4* unit, FieldPoint* states, const DrawDataType4& data,
                                void* out, const DrawClock& clock);
    using DrawUnit::Update;
    void Update(const DrawClock& clock) override;
    void Draw() override;

    // The batch submitters, one chosen by the mode: the prepared items in
    // commands of at most 32, each copying its items into room reserved
    // under the unit's state. Lines take only vertex room (two 32-byte
    // vertices an item, no texture slot compared); quads four 48-byte
    // billboard vertices and six indices an item, after the renderer's
    // billboard flag has taken the data's billboard bit. The first batch
    // that finds no room, or no command space, ends the frame's draw (room
    // already taken stays empty).
    static void SubmitPreparedVertices(DrawUnitType4* unit);
    static void SubmitDrawQuads(DrawUnitType4* unit);
    // The commands' geometry: a block copy of the items' vertices; quads
    // first write each item's six indices.
    static void CopyPreparedVertices(DrawUnit* unit, const PreparedPayload& payload);
    static void CopyDrawQuads(DrawUnit* unit, const PreparedPayload& payload);

    const DrawDataType4* header;
    void* prepared = nullptr;
    FieldPoint* states = nullptr;
    // The frame-memory frame the states were taken in.
    uint32_t statesFrame = 0;
    uint32_t pointCount = 0;
    float keySpans[3] = {};
    uint32_t prepareIndex = 0;
    bool quads = false;
    // What the step applies by state: waiting points are born, live ones
    // take the force, then the lifetime rule.
    FieldPointHandler first[4] = {};
    FieldPointHandler second[4] = {};
    ParticleField::StepContext step;
};

} // namespace FulgorCore
