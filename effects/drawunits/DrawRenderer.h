#pragma once

#include "effects/drawunits/DrawClock.h"
#include "effects/drawunits/FieldPoint.h"

#include <cstdint>

namespace FulgorCore {

class DrawDataType4;
class DrawUnitType4;
class IShader;
class Job;
struct TextureSlot;

// What the draw units ask of the renderer, in one place: the reservations
// of vertex (and index) space by stride, flushing the pending batch and
// its kind, the submit function, and the particle field's vertex preparers
// and batch submitters. The reservations are the renderer's own; the
// field's batch submitters come later, and until then the field submits
// nothing. Tests install recording doubles.
struct DrawRenderer {
    // (shader, state word, the 8 bindings, mask of the slots compared, out
    // vertices, vertex count, out indices, out first vertex, index count).
    using Reserve = bool (*)(const IShader* shader, const uint32_t* stateWord,
                             const TextureSlot* bindings, uint8_t mask, void** vertices,
                             uint32_t vertexCount, uint16_t** indices, uint16_t* firstVertex,
                             uint32_t indexCount);
    using ReserveNoIndex = bool (*)(const IShader* shader, const uint32_t* stateWord,
                                    const TextureSlot* bindings, uint8_t mask, void** vertices,
                                    uint32_t vertexCount);
    // (unit, its point states, field data, prepared bytes, clock).
    using Prepare = void (*)(DrawUnitType4* unit, FieldPoint* states, const DrawDataType4& header,
                             void* prepared, const DrawClock& clock);
    using SubmitField = void (*)(DrawUnitType4* unit);

    // The preparers by choice: 0-1 lines (2 x "bOPT": own space), 2-3
    // fading lines, 4-11 quads by S = "bOPT" + 2 "bScL" + 4 "bOBD".
    static constexpr uint32_t kPreparers = 12;
    static constexpr uint32_t kLinePreparers = 0;
    static constexpr uint32_t kFadingLinePreparers = 2;
    static constexpr uint32_t kQuadPreparers = 4;
    // Batch kind of 48-byte billboard batches.
    static constexpr uint8_t kBillboardBatch = 1;

    Reserve reserveVertices; // 36-byte vertices
    Reserve reserveVertices48;
    ReserveNoIndex reserveVerticesNoIndex32;
    Reserve reserveVertices32;
    Reserve reserveVertices44;
    Reserve reserveVertices52;
    void (*flushBatches)();
    // The renderer's current batch kind byte.
    uint8_t* (*batchKind)();
    void (*submit)(Job* job);
    Prepare prepare[kPreparers];
    SubmitField submitPreparedVertices;
    SubmitField submitDrawQuads;

    // What the draw units use.
    static DrawRenderer& Current();
    // The runtime's own.
    static const DrawRenderer kBuiltIn;
};

} // namespace FulgorCore
