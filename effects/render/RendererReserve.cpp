// Room in the mapped vertex and index buffers for the draw units, merged
// into batches by state, and the ready render commands of meshes that keep
// their own buffers.
#include "effects/Core/Resource/MeshSet.h"
#include "effects/render/RenderCommand.h"
#include "effects/render/Renderer.h"
#include "effects/render/RendererSteps.h"
#include "effects/render/RendererWorkData.h"
#include "effects/render/StartedRenderer.h"

namespace FulgorCore::Renderer {

namespace {

constexpr float kUnitSpecular[4] = {1.0f, 1.0f, 1.0f, 1.0f};

// The vertices the batch holds before `vertexWrite`: the base vertex of
// the room that starts there.
template <uint32_t Stride>
uint16_t BaseVertex(const RendererWorkData& work, const uint8_t* vertexWrite) {
    return static_cast<uint16_t>(static_cast<uint32_t>(vertexWrite - work.vertexBatch) / Stride);
}

// Hands out the room: the write pointers move on, which counts the bytes
// as pending; the base vertex is the vertices the batch holds before them.
template <uint32_t Stride, bool Indexed>
void Take(RendererWorkData& work, void** vertices, uint64_t vertexBytes, uint16_t** indices,
          uint16_t* baseVertex, uint64_t indexBytes) {
    uint8_t* const vertexWrite = work.vertexWrite;
    *vertices = vertexWrite;
    work.vertexWrite = vertexWrite + vertexBytes;
    if constexpr (Indexed) {
        uint8_t* const indexWrite = work.indexWrite;
        *baseVertex = BaseVertex<Stride>(work, vertexWrite);
        *indices = reinterpret_cast<uint16_t*>(indexWrite);
        work.indexWrite = indexWrite + indexBytes;
    }
}

// The general reservation: outside a layer, a change of stride, a full
// buffer, a pool that cannot go on or a request to refuse. An unmapped
// write pointer (a full buffer at the layer's start, or one whose lock
// failed) counts as an overflow, so nothing is written through it.
template <uint32_t Stride, bool Indexed>
[[gnu::noipa]] bool ReserveRest(const IShader* shader, const uint32_t* stateWord,
                                const TextureSlot* slots, uint8_t mask, void** vertices,
                                uint32_t vertexCount, uint16_t** indices, uint16_t* baseVertex,
                                uint32_t indexCount) {
    RendererWorkData* work = StartedRenderer();
    if (!work || !work->layerOpen || !stateWord || !vertices)
        return false;
    const uint64_t vertexBytes = uint64_t{vertexCount} * Stride;
    const uint64_t indexBytes = Indexed ? uint64_t{indexCount} * 2 : 0;
    if (vertexBytes > work->vertexPool.size || indexBytes > work->indexPool.size ||
        work->exhausted || (Indexed && (!indices || !baseVertex)))
        return false;
    // A flush moves bytes within the current entries; only a buffer change
    // moves to other entries.
    const auto* vertexEntry = work->vertexPool.Current();
    const auto* indexEntry = work->indexPool.Current();
    if (!work->MatchesBatch(shader, *stateWord, slots, mask))
        AdoptBatchState(*work, shader, *stateWord, slots, mask);
    // A batch holds vertices of one stride.
    if (work->currentStride != Stride && vertexEntry && work->VertexPending() != 0)
        FlushBatchesOf(*work);

    auto overflows = [](const auto* entry, const uint8_t* write, uint32_t pending, uint64_t bytes,
                        uint32_t size) {
        return !entry || !write || entry->committed + pending + bytes > size;
    };
    const bool vertexOverflow = overflows(vertexEntry, work->vertexWrite, work->VertexPending(),
                                          vertexBytes, work->vertexPool.size);
    const bool indexOverflow =
        Indexed && overflows(indexEntry, work->indexWrite, work->IndexPending(), indexBytes,
                             work->indexPool.size);
    if (vertexOverflow || indexOverflow) {
        FlushBatchesOf(*work);
        if (vertexOverflow && !MapNextVertexBuffer())
            return false;
        if (indexOverflow && !MapNextIndexBuffer())
            return false;
    }
    Take<Stride, Indexed>(*work, vertices, vertexBytes, indices, baseVertex, indexBytes);
    if (work->currentStride != Stride)
        work->SetStride(Stride);
    return true;
}

// A request within the mapped room of the batch's stride that binds
// textures or differs from the batch's state: it goes on with the batch
// or, after a change (a flush, which leaves the write pointers and the room
// where they were), starts a new one.
template <uint32_t Stride, bool Indexed>
[[gnu::noipa]] bool ReserveNewState(const IShader* shader, const uint32_t* stateWord,
                                    const TextureSlot* slots, uint8_t mask, void** vertices,
                                    uint32_t vertexCount, uint16_t** indices, uint16_t* baseVertex,
                                    uint32_t indexCount) {
    RendererWorkData& work = *RuntimeGlobals::Get().renderer;
    if (!work.MatchesBatch(shader, *stateWord, slots, mask))
        AdoptBatchState(work, shader, *stateWord, slots, mask);
    Take<Stride, Indexed>(work, vertices, uint64_t{vertexCount} * Stride, indices, baseVertex,
                          Indexed ? uint64_t{indexCount} * 2 : 0);
    return true;
}

// The reservation of one stride; without indices only the vertex side is
// taken. Most requests go on with the batch's stride and state within the
// mapped room (so fit one buffer): they only move the write pointers.
// Otherwise a request within the room goes on under its own state
// (ReserveNewState) and any other takes the general path, both through one
// call of the same arguments: each call site keeps all nine of them live,
// the three passed on the stack in saved registers.
template <uint32_t Stride, bool Indexed>
bool Reserve(const IShader* shader, const uint32_t* stateWord, const TextureSlot* slots,
             uint8_t mask, void** vertices, uint32_t vertexCount, uint16_t** indices,
             uint16_t* baseVertex, uint32_t indexCount) {
    using Reservation = bool(const IShader*, const uint32_t*, const TextureSlot*, uint8_t, void**,
                             uint32_t, uint16_t**, uint16_t*, uint32_t);
    // A block with a stride open is a started renderer's (the layer opens
    // only then and closes before the runtime stops).
    RendererWorkData* work = RuntimeGlobals::Get().renderer;
    const uint64_t vertexBytes = uint64_t{vertexCount} * Stride;
    const uint64_t indexBytes = Indexed ? uint64_t{indexCount} * 2 : 0;
    Reservation* rest = ReserveRest<Stride, Indexed>;
    if (__builtin_expect(
            work && work->openStride == Stride && stateWord && vertices &&
                vertexBytes <= static_cast<uint64_t>(work->vertexEnd - work->vertexWrite) &&
                (!Indexed ||
                 indexBytes <= static_cast<uint64_t>(work->indexEnd - work->indexWrite)),
            1)) {
        if (Indexed && (!indices || !baseVertex))
            return false;
        if (__builtin_expect(mask == 0 && shader == work->currentShader &&
                                 *stateWord == work->currentStateWord,
                             1)) {
            Take<Stride, Indexed>(*work, vertices, vertexBytes, indices, baseVertex, indexBytes);
            return true;
        }
        rest = ReserveNewState<Stride, Indexed>;
    }
    return rest(shader, stateWord, slots, mask, vertices, vertexCount, indices, baseVertex,
                indexCount);
}

// A ready command of its own buffers under the material's state; null
// without a state or when the record area is full.
template <class T>
T* StartCommand(RendererWorkData* work, RenderCommandType type, const IShader* shader,
                const uint32_t* stateWord, const TextureSlot* slots, uint8_t mask) {
    if (!work || !stateWord)
        return nullptr;
    ApplyState(shader, stateWord, slots, mask);
    T* c = work->ChainCommand<T>();
    if (c)
        work->FillCommandHeader(c->header, type, true);
    return c;
}

} // namespace

template <uint32_t Stride>
bool ReserveIndexed(const IShader* shader, const uint32_t* stateWord, const TextureSlot* slots,
                    uint8_t mask, void** vertices, uint32_t vertexCount, uint16_t** indices,
                    uint16_t* baseVertex, uint32_t indexCount) {
    return Reserve<Stride, true>(shader, stateWord, slots, mask, vertices, vertexCount, indices,
                                 baseVertex, indexCount);
}
// The strides of the vertex formats (32, 36, 44, 52) and of particles (48).
using IndexedReservation = bool(const IShader*, const uint32_t*, const TextureSlot*, uint8_t,
                                void**, uint32_t, uint16_t**, uint16_t*, uint32_t);
template IndexedReservation ReserveIndexed<32>;
template IndexedReservation ReserveIndexed<36>;
template IndexedReservation ReserveIndexed<44>;
template IndexedReservation ReserveIndexed<48>;
template IndexedReservation ReserveIndexed<52>;

bool ReserveVerticesNoIndex32(const IShader* shader, const uint32_t* stateWord,
                              const TextureSlot* slots, uint8_t mask, void** vertices,
                              uint32_t vertexCount) {
    return Reserve<32, false>(shader, stateWord, slots, mask, vertices, vertexCount, nullptr,
                              nullptr, 0);
}

void IssueMeshCommand(uint32_t textureRegisters, IVertexBuffer* vertexBuffer, uint32_t vertexCount,
                      IIndexBuffer* indexBuffer, uint32_t indexCount, const IShader* shader,
                      const float* worldMatrix, const float* uvTransforms, uint8_t screenPosition,
                      const uint32_t* stateWord, const TextureSlot* slots, uint8_t mask,
                      const float* baseColor, const float* vertexParameters,
                      const float* pixelParameters, const float* falloff) {
    // One buffer set, no morph, a white specular and no point lights.
    MeshSet mesh{};
    mesh.vertexBuffer1 = vertexBuffer;
    mesh.indexBuffer1 = indexBuffer;
    mesh.vertexCount1 = vertexCount;
    mesh.indexCount1 = indexCount;
    IssueModelCommand(textureRegisters, &mesh, nullptr, shader, worldMatrix, uvTransforms,
                      screenPosition, stateWord, slots, mask, baseColor, vertexParameters,
                      pixelParameters, falloff, kUnitSpecular, nullptr);
}

void IssueModelCommand(uint32_t textureRegisters, const MeshSet* model, const MeshSet* morph,
                       const IShader* shader, const float* worldMatrix, const float* uvTransforms,
                       uint8_t screenPosition, const uint32_t* stateWord, const TextureSlot* slots,
                       uint8_t mask, const float* baseColor, const float* vertexParameters,
                       const float* pixelParameters, const float* falloff, const float* specular,
                       const float* pointLights) {
    RendererWorkData* work = StartedRenderer();
    auto* c = model
                  ? StartCommand<ModelCommand>(work, kModelCommand, shader, stateWord, slots, mask)
                  : nullptr;
    if (!c)
        return;
    // The second set draws morphed, and only with the morph model's
    // second set beside it. The target is read at the drawn set's indices,
    // so one with fewer vertices (two models of different files) would be
    // read past its end: such a pair draws the first set alone.
    const bool morphed = model->vertexBuffer2 && morph && morph->vertexBuffer2 &&
                         morph->vertexCount2 >= model->vertexCount2;
    c->vertexBuffer = morphed ? model->vertexBuffer2 : model->vertexBuffer1;
    c->morphBuffer = morphed ? morph->vertexBuffer2 : nullptr;
    c->vertexCount = morphed ? model->vertexCount2 : model->vertexCount1;
    c->indexBuffer = morphed ? model->indexBuffer2 : model->indexBuffer1;
    c->indexCount = morphed ? model->indexCount2 : model->indexCount1;
    c->textureRegisters = textureRegisters;
    c->worldMatrix = worldMatrix;
    c->baseColor = baseColor;
    c->vertexParameters = vertexParameters;
    c->pixelParameters = pixelParameters;
    c->uvTransforms = uvTransforms;
    c->falloff = falloff;
    c->specular = specular;
    c->pointLights = pointLights;
    c->viewVector = work->viewVector;
    c->screenPosition = screenPosition;
}

void IssueProjectionCommand(uint32_t textureRegisters, const IShader* shader,
                            const float* worldMatrix, const float* uvTransforms,
                            const uint32_t* stateWord, const TextureSlot* slots, uint8_t mask,
                            const float* baseColor, const float* vertexParameters,
                            const float* pixelParameters) {
    RendererWorkData* work = StartedRenderer();
    auto* c =
        StartCommand<ProjectionCommand>(work, kProjectionCommand, shader, stateWord, slots, mask);
    if (!c)
        return;
    c->vertexBuffer = work->projectionVertices;
    c->indexBuffer = work->projectionIndices;
    c->textureRegisters = textureRegisters;
    c->worldMatrix = worldMatrix;
    c->baseColor = baseColor;
    c->vertexParameters = vertexParameters;
    c->pixelParameters = pixelParameters;
    c->uvTransforms = uvTransforms;
}

} // namespace FulgorCore::Renderer
