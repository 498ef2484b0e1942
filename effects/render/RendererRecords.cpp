// The record area at work: draw records from the bottom, render commands
// chained to the current record from the top, and the batch flush that
// turns what was reserved into one command.
#include "effects/Core/Math/Matrix.h"
#include "effects/render/DrawRecord.h"
#include "effects/render/DrawRecordFill.h"
#include "effects/render/RenderCommand.h"
#include "effects/render/RenderStateWord.h"
#include "effects/render/Renderer.h"
#include "effects/render/RendererSteps.h"
#include "effects/render/RendererWorkData.h"
#include "effects/render/StartedRenderer.h"

#include <cstring>

namespace FulgorCore::Renderer {

namespace {

constexpr uint32_t kParticleStride = 48;

using VertexEntry = Buffer<IVertexBuffer>::Entry;
using IndexEntry = Buffer<IIndexBuffer>::Entry;

// What a flush hands to a batch command: the current entries' buffers and
// the committed and pending bytes of each, read before the command is
// written (its stores could otherwise be taken to change them).
struct PendingBatch {
    IVertexBuffer* vertexBuffer;
    IIndexBuffer* indexBuffer;
    uint32_t vertexCommitted;
    uint32_t vertexPending;
    uint32_t indexCommitted;
    uint32_t indexPending;
};

void FlushVertexBatch(RendererWorkData& work, const PendingBatch& b) {
    auto* c = work.ChainCommand<VertexBatchCommand>();
    if (!c)
        return;
    work.FillCommandHeader(c->header, kVertexBatchCommand, false);
    c->vertexBuffer = b.vertexBuffer;
    c->indexBuffer = b.indexBuffer;
    c->stride = work.currentStride;
    c->vertexOffset = b.vertexCommitted;
    c->vertexCount = work.VerticesIn(b.vertexPending);
}

void FlushIndexedBatch(RendererWorkData& work, const PendingBatch& b) {
    const uint32_t stride = work.currentStride;
    const uint32_t vertexCount = work.VerticesIn(b.vertexPending);
    auto* c = work.ChainCommand<IndexedBatchCommand>();
    if (!c)
        return;
    work.FillCommandHeader(c->header, kIndexedBatchCommand, true);
    c->vertexBuffer = b.vertexBuffer;
    c->indexBuffer = b.indexBuffer;
    c->stride = stride;
    c->vertexOffset = b.vertexCommitted;
    c->vertexCount = vertexCount;
    c->firstIndex = b.indexCommitted / 2;
    c->indexCount = b.indexPending / 2;
}

void FlushParticleBatch(RendererWorkData& work, const PendingBatch& b) {
    auto* c = work.ChainCommand<ParticleBatchCommand>();
    if (!c)
        return;
    work.FillCommandHeader(c->header, kParticleBatchCommand, true);
    c->vertexBuffer = b.vertexBuffer;
    c->indexBuffer = b.indexBuffer;
    c->vertexOffset = b.vertexCommitted;
    c->vertexCount = b.vertexPending / kParticleStride;
    c->firstIndex = b.indexCommitted / 2;
    c->indexCount = b.indexPending / 2;
    c->unused = 0;
    const uint32_t view = work.recordView < kCameraSpaces ? work.recordView : 0;
    c->viewConstant = work.viewConstants[view];
    c->billboardMatrix = work.billboard ? work.billboardMatrices[view] : Math::kIdentity34;
}

} // namespace

DrawRecord* AllocDrawRecord() {
    RendererWorkData* work = StartedRenderer();
    if (!work)
        return nullptr;
    DrawRecord* record = TakeDrawRecord(*work);
    if (record) {
        *record = DrawRecord{};
        record->matrix = work->viewProjection;
    }
    return record;
}

void AddDrawRecord(const float* rootColor, float softDistance, uint32_t viewIndex,
                   const float* effectLight, const float* alphaLightMatrix,
                   const float* alphaLightParameter) {
    if (RendererWorkData* work = StartedRenderer())
        AddDrawRecordTo(*work, rootColor, softDistance, viewIndex, effectLight, alphaLightMatrix,
                        alphaLightParameter);
}

RenderCommand* AllocateCommand(uint32_t bytes) {
    RendererWorkData* work = StartedRenderer();
    return work ? work->ChainCommand(bytes) : nullptr;
}

void* AllocateDrawCommandSpace(uint32_t bytes) {
    RendererWorkData* work = StartedRenderer();
    if (!work || !work->layerOpen)
        return nullptr;
    return work->records.TakeTop(bytes);
}

void FlushBatches() {
    if (RendererWorkData* work = StartedRenderer())
        FlushBatchesOf(*work);
}

void FlushBatchesOf(RendererWorkData& work) {
    const uint32_t vertexPending = work.VertexPending();
    const uint32_t indexPending = work.IndexPending();
    // Nothing reserved since the last flush (a change of state between
    // instances): no command, nothing to count.
    if ((vertexPending | indexPending) == 0)
        return;
    // Whatever was reserved counts as used, drawn or not: bytes left
    // pending would shift the next batch's base vertex by another stride's
    // bytes, and the next layer would lock over them.
    work.vertexBatch = work.vertexWrite;
    work.indexBatch = work.indexWrite;
    Buffer<IVertexBuffer>& vertexPool = work.vertexPool;
    Buffer<IIndexBuffer>& indexPool = work.indexPool;
    if (vertexPool.current >= vertexPool.count || indexPool.current >= indexPool.count) {
        // A pool past its last buffer: no command, and what the other has
        // reserved counts as used.
        if (auto* v = vertexPool.Current())
            v->committed += vertexPending;
        if (auto* i = indexPool.Current())
            i->committed += indexPending;
        return;
    }
    VertexEntry* const v = &vertexPool.entries[vertexPool.current];
    IndexEntry* const i = &indexPool.entries[indexPool.current];
    const PendingBatch b{v->buffer,     i->buffer,    v->committed,
                         vertexPending, i->committed, indexPending};
    v->committed = b.vertexCommitted + b.vertexPending;
    i->committed = b.indexCommitted + b.indexPending;
    if (work.exhausted)
        return;
    // The indexed kind, the most common, is tested first.
    const BatchKind kind = RenderStateWord::GetBatchKind(work.currentStateWord);
    if (kind == BatchKind::kIndexed) {
        if (b.indexPending)
            FlushIndexedBatch(work, b);
    } else if (kind == BatchKind::kVertex) {
        if (b.vertexPending)
            FlushVertexBatch(work, b);
    } else if (kind == BatchKind::kParticle) {
        if (b.indexPending)
            FlushParticleBatch(work, b);
    }
}

} // namespace FulgorCore::Renderer
