#pragma once

#include "effects/Core/Engine/DrawParameter.h"
#include "effects/render/Buffer.h"
#include "effects/render/DrawRecord.h"
#include "effects/render/RenderCommand.h"
#include "effects/render/RenderCommandBuffer.h"
#include "effects/render/TextureSlot.h"

#include <cstdint>

namespace FulgorCore {

class IDevice;
class IIndexBuffer;
class IShader;
class IVertexBuffer;

// The renderer's state, one block allocated at start-up
// ("Renderer.WorkData").
struct RendererWorkData {
    // Bit 0 and batch kind 1 in bits 7-10.
    static constexpr uint32_t kDefaultStateWord = 1u | (1u << 7);

    IDevice* device = nullptr; // one reference
    Buffer<IVertexBuffer> vertexPool;
    Buffer<IIndexBuffer> indexPool;
    IVertexBuffer* projectionVertices = nullptr; // the unit cube of projection volumes
    IIndexBuffer* projectionIndices = nullptr;
    uint8_t exhausted = 0;
    uint8_t textureLatch = 0;
    uint8_t resetLatchPerRecord = 0; // RendererFlagA
    uint8_t plainDepth = 0;          // RendererFlagB
    uint8_t billboard = 0;
    uint32_t defaultStateWord = 0;
    uint32_t currentStateWord = 0;

    // The host's record area, the layer's draw records and the chain end
    // of the current one.
    RenderCommandBuffer records;
    uint32_t drawRecordCount = 0;
    DrawRecord* currentRecord = nullptr;
    RenderCommand* lastCommand = nullptr;

    // Next free byte of the mapped current buffers; null when not mapped.
    uint8_t* vertexWrite = nullptr;
    uint8_t* indexWrite = nullptr;
    // Where the batch being collected began in each mapped buffer: the
    // bytes reserved since the last flush (the pending bytes of the current
    // pool entries) are the write pointers' distance from them. A new
    // mapping or a flush moves them to the write pointers.
    uint8_t* vertexBatch = nullptr;
    uint8_t* indexBatch = nullptr;
    // Where the room of each mapped buffer ends: a reservation that goes on
    // with the batch and fits before it only moves the write pointers. Set
    // with the write pointers (SetWritePointers).
    uint8_t* vertexEnd = nullptr;
    uint8_t* indexEnd = nullptr;
    // Set between a layer's begin and the unmapping before its records
    // run: reservations are refused outside.
    uint8_t layerOpen = 0;
    // Stride of the vertices reserved since the last flush, and what
    // divides a byte count by it: the high half of the 128-bit product of
    // the count and ceil(2^64 / stride) is the floor of the quotient for
    // every 32-bit count (0 while no stride is set). Set by SetStride.
    uint32_t currentStride = 0;
    uint64_t strideDivider = 0;
    // currentStride while the layer is open, both pools are mapped and not
    // exhausted, else 0: one comparison tells a reservation of that stride
    // it may go on with the batch. Kept by SetOpenStride wherever those
    // change (the pools are marked exhausted only when a write pointer
    // becomes null).
    uint32_t openStride = 0;

    // The batch state ApplyState compares with: shader, state word, a copy
    // of the slots in use of the texture binding table (a caller may reuse
    // its table) and their mask. A slot outside the mask is compared with
    // the table itself: copying all eight would read a unit's whole table
    // at every change of batch.
    static constexpr uint32_t kBindingSlots = 8;
    const IShader* currentShader = nullptr;
    TextureSlot currentBindings[kBindingSlots] = {};
    // The table the batch's commands bind: the caller's (a draw unit's,
    // alive through the layer) or an empty one.
    const TextureSlot* currentSlots = nullptr;
    uint8_t currentMask = 0;
    uint32_t currentLayer = 0;

    // Camera state, written per frame by the runtime's draw. viewIndex is
    // the view number whose bit the instances' view masks are tested
    // against; recordView (0-2) is the camera space of the current draw
    // record, viewVector its eye (the camera position, or zero).
    uint32_t viewIndex = 0;
    uint32_t recordView = 0;
    const float* viewVector = nullptr;
    DrawParameter drawParameter{};
    // Identity but for 2 / width and 2 / height on the diagonal.
    float screenMatrix[16] = {};
    // (-1 / pixel width, 1 / pixel height, 0, 0), also view 2's view
    // constant, and (1 / pixel width, 1 / pixel height, 0, 0), whose first
    // two are the viewport reciprocals of every draw record.
    float pixelTerms[2][4] = {};
    // The transpose of the view's rotation, with a zero translation row.
    float cameraRotation[12] = {};
    // Per camera space (0-2): the particle batches' billboard parameter and
    // matrix; view 0's matrix is the camera rotation.
    float viewConstants[3][4] = {};
    float billboardMatrices[3][12] = {};
    float view[16] = {};
    float projection[16] = {};
    float viewProjection[16] = {};
    float inverseViewProjection[16] = {};
    float inverseView[16] = {};
    // The eye: the translation row of inverseView (four floats, w 1).
    const float* cameraPosition = nullptr;
    float cameraTransforms[3][12] = {};
    // 1 when the projection is orthographic: the layers then sort by the
    // clip w instead of the clip z.
    uint32_t orthographic = 0;

    // The write pointers of both pools and the ends of their rooms. Each is
    // a new mapping of its current entry (or none): its room ends after the
    // entry's committed bytes and its batch begins at it. A device may hand
    // a new lock the very address the pointer already holds (buffers laid
    // end to end, one staging area), so a lock always counts as new.
    void SetWritePointers(void* vertices, void* indices) {
        SetVertexWritePointer(vertices);
        SetIndexWritePointer(indices);
    }
    void SetVertexWritePointer(void* vertices) {
        MapWritePointer(vertexPool, static_cast<uint8_t*>(vertices), vertexWrite, vertexBatch,
                        vertexEnd);
        SetOpenStride();
    }
    void SetIndexWritePointer(void* indices) {
        MapWritePointer(indexPool, static_cast<uint8_t*>(indices), indexWrite, indexBatch,
                        indexEnd);
        SetOpenStride();
    }
    void SetStride(uint32_t stride) {
        currentStride = stride;
        strideDivider = stride > 1 ? UINT64_MAX / stride + 1 : 0;
        SetOpenStride();
    }
    uint32_t VerticesIn(uint32_t bytes) const {
        return static_cast<uint32_t>((static_cast<unsigned __int128>(bytes) * strideDivider) >> 64);
    }
    void SetOpenStride() {
        openStride = layerOpen && !exhausted && vertexWrite && indexWrite ? currentStride : 0;
    }
    template <class T>
    static void MapWritePointer(Buffer<T>& pool, uint8_t* mapped, uint8_t*& write, uint8_t*& batch,
                                uint8_t*& end) {
        write = batch = mapped;
        end = RoomEnd(pool, mapped);
    }
    template <class T> static uint8_t* RoomEnd(Buffer<T>& pool, uint8_t* write) {
        const auto* entry = pool.Current();
        if (!write || !entry)
            return nullptr;
        return entry->committed < pool.size ? write + (pool.size - entry->committed) : write;
    }
    // The bytes reserved since the last flush.
    uint32_t VertexPending() const { return static_cast<uint32_t>(vertexWrite - vertexBatch); }
    uint32_t IndexPending() const { return static_cast<uint32_t>(indexWrite - indexBatch); }

    // Whether a request's state is the batch's: the same shader and state
    // word, and in every slot of the request's mask the same texture and
    // sampler word (no table reads as empty slots).
    [[gnu::always_inline]] bool MatchesBatch(const IShader* shader, uint32_t stateWord,
                                             const TextureSlot* slots, uint8_t mask) const {
        return shader == currentShader && stateWord == currentStateWord &&
               (mask == 0 || MatchesSlots(slots, mask));
    }
    // The slots of `mask` as the batch's; out of line, so a request with no
    // slot in use compares two words only.
    [[gnu::noinline]] bool MatchesSlots(const TextureSlot* slots, uint8_t mask) const {
        for (uint32_t i = 0; mask >> i; ++i) {
            if (!((mask >> i) & 1u))
                continue;
            const TextureSlot wanted = slots ? slots[i] : TextureSlot{};
            const TextureSlot held = ((currentMask >> i) & 1u) ? currentBindings[i]
                                     : currentSlots            ? currentSlots[i]
                                                               : TextureSlot{};
            if (wanted.texture != held.texture || wanted.sampler != held.sampler)
                return false;
        }
        return true;
    }

    // The batch state of a request: its table (never null) is kept, and
    // the slots of its mask copied, so that a caller may reuse its table.
    void AdoptState(const IShader* shader, uint32_t stateWord, const TextureSlot* table,
                    uint8_t mask) {
        currentSlots = table;
        currentShader = shader;
        currentMask = mask;
        currentStateWord = stateWord;
        for (uint32_t i = 0; mask >> i; ++i)
            if ((mask >> i) & 1u)
                currentBindings[i] = table[i];
    }

    // A render command of `bytes` from the top of the record area, chained
    // at the end of the current draw record; null when the layer is not
    // open, no record is current or the area is full. Inline: every batch
    // flush and ready command takes one.
    RenderCommand* ChainCommand(uint32_t bytes) {
        if (!layerOpen || !currentRecord || bytes < sizeof(RenderCommand))
            return nullptr;
        auto* command = static_cast<RenderCommand*>(records.TakeTop(bytes));
        if (!command)
            return nullptr;
        command->next = nullptr;
        if (!currentRecord->firstCommand)
            currentRecord->firstCommand = command;
        if (lastCommand)
            lastCommand->next = command;
        lastCommand = command;
        return command;
    }
    template <class T> T* ChainCommand() { return reinterpret_cast<T*>(ChainCommand(sizeof(T))); }

    // A new command's header from the batch state; a batch that binds no
    // texture leaves its slot table out.
    void FillCommandHeader(RenderCommand& command, RenderCommandType type, bool withSlots) const {
        command.type = type;
        command.slotMask = currentMask;
        command.stateWord = currentStateWord;
        command.slots = withSlots ? currentSlots : nullptr;
        command.shader = currentShader;
    }

    // The matrix of an effect's camera space: 0 the view x projection, 1
    // the projection, 2 the screen matrix; null past them.
    const float* CameraSpaceMatrix(uint32_t space) const {
        const float* const spaces[3] = {viewProjection, projection, screenMatrix};
        return space < 3 ? spaces[space] : nullptr;
    }
};

} // namespace FulgorCore
