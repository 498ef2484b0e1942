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
// the billboard flag, the submit function, room for commands in the record
// area, the pool buffers' sizes, and the particle field's vertex preparers
// and batch submitters. Tests install recording doubles.
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
    // The bytes of every buffer of the vertex and of the index pool.
    struct BufferSizes {
        uint32_t vertex;
        uint32_t index;
    };

    // The preparers by choice: 0-1 lines (2 x "bOPT": own space), 2-3
    // fading lines, 4-11 quads by S = "bOPT" + 2 "bScL" + 4 "bOBD".
    static constexpr uint32_t kPreparers = 12;
    static constexpr uint32_t kLinePreparers = 0;
    static constexpr uint32_t kFadingLinePreparers = 2;
    static constexpr uint32_t kQuadPreparers = 4;
    // The billboard flag of 48-byte billboard batches (set: they face the
    // camera of their view).
    static constexpr uint8_t kBillboardBatch = 1;

    Reserve reserveVertices; // 36-byte vertices
    Reserve reserveVertices48;
    ReserveNoIndex reserveVerticesNoIndex32;
    Reserve reserveVertices32;
    Reserve reserveVertices44;
    Reserve reserveVertices52;
    void (*flushBatches)();
    // The renderer's billboard flag, which the particle batches flushed
    // from now on take.
    uint8_t* (*batchKind)();
    void (*submit)(Job* job);
    Prepare prepare[kPreparers];
    SubmitField submitPreparedVertices;
    SubmitField submitDrawQuads;
    // Room for a command from the top of the record area; null when the
    // area is full.
    void* (*allocateCommandSpace)(uint32_t bytes);
    BufferSizes (*bufferSizes)();

    // The indexed reservation of a vertex stride (32, 36, 44, 48 or 52).
    template <uint32_t Stride> Reserve ReservationOf() const {
        static_assert(Stride == 32 || Stride == 36 || Stride == 44 || Stride == 48 || Stride == 52);
        if constexpr (Stride == 32)
            return reserveVertices32;
        else if constexpr (Stride == 36)
            return reserveVertices;
        else if constexpr (Stride == 44)
            return reserveVertices44;
        else if constexpr (Stride == 48)
            return reserveVertices48;
        else
            return reserveVertices52;
    }

    // What the draw units use: inline, as every draw reads it.
    static DrawRenderer& Current() { return current_; }
    // The runtime's own.
    static const DrawRenderer kBuiltIn;

private:
    static DrawRenderer current_;
};

} // namespace FulgorCore
