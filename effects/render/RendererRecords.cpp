// The record area at work: draw records from the bottom, render commands
// chained to the current record from the top, and the batch flush that
// turns what was reserved into one command.
#include "effects/Core/Math/Matrix.h"
#include "effects/render/DrawRecord.h"
#include "effects/render/RenderCommand.h"
#include "effects/render/Renderer.h"
#include "effects/render/RendererSteps.h"
#include "effects/render/RendererWorkData.h"
#include "effects/render/RenderStateWord.h"
#include "effects/render/StartedRenderer.h"

#include <cstring>

namespace FulgorCore::Renderer {

namespace {

constexpr uint32_t kCameraSpaces = 3;
constexpr uint32_t kParticleStride = 48;
constexpr float kZero4[4] = {0.0f, 0.0f, 0.0f, 0.0f};

using VertexEntry = Buffer<IVertexBuffer>::Entry;
using IndexEntry = Buffer<IIndexBuffer>::Entry;

// The vertices of a batch's bytes: the reservable strides divide by a
// constant, which spares every flush a division.
uint32_t VerticesIn(uint32_t bytes, uint32_t stride) {
    switch (stride) {
    case 32:
        return bytes / 32;
    case 36:
        return bytes / 36;
    case 44:
        return bytes / 44;
    case 48:
        return bytes / 48;
    case 52:
        return bytes / 52;
    default:
        return stride ? bytes / stride : 0;
    }
}

void FlushVertexBatch(RendererWorkData& work, const VertexEntry& v, const IndexEntry& i) {
    auto* c = work.ChainCommand<VertexBatchCommand>();
    if (!c)
        return;
    work.FillCommandHeader(c->header, kVertexBatchCommand, false);
    c->vertexBuffer = v.buffer;
    c->indexBuffer = i.buffer;
    c->stride = work.currentStride;
    c->vertexOffset = v.committed;
    c->vertexCount = VerticesIn(v.pending, work.currentStride);
}

void FlushIndexedBatch(RendererWorkData& work, const VertexEntry& v, const IndexEntry& i) {
    auto* c = work.ChainCommand<IndexedBatchCommand>();
    if (!c)
        return;
    work.FillCommandHeader(c->header, kIndexedBatchCommand, true);
    c->vertexBuffer = v.buffer;
    c->indexBuffer = i.buffer;
    c->stride = work.currentStride;
    c->vertexOffset = v.committed;
    c->vertexCount = VerticesIn(v.pending, work.currentStride);
    c->firstIndex = i.committed / 2;
    c->indexCount = i.pending / 2;
}

void FlushParticleBatch(RendererWorkData& work, const VertexEntry& v, const IndexEntry& i) {
    auto* c = work.ChainCommand<ParticleBatchCommand>();
    if (!c)
        return;
    work.FillCommandHeader(c->header, kParticleBatchCommand, true);
    c->vertexBuffer = v.buffer;
    c->indexBuffer = i.buffer;
    c->vertexOffset = v.committed;
    c->vertexCount = v.pending / kParticleStride;
    c->firstIndex = i.committed / 2;
    c->indexCount = i.pending / 2;
    c->unused = 0;
    const uint32_t view = work.recordView < kCameraSpaces ? work.recordView : 0;
    c->viewConstant = work.viewConstants[view];
    c->billboardMatrix = work.billboard ? work.billboardMatrices[view] : Math::kIdentity34;
}

DrawRecord* TakeDrawRecord(RendererWorkData& work) {
    if (!work.layerOpen)
        return nullptr;
    auto* record = static_cast<DrawRecord*>(work.records.TakeBottom(sizeof(DrawRecord)));
    if (!record)
        return nullptr;
    std::memset(record, 0, sizeof(DrawRecord));
    record->matrix = work.viewProjection;
    work.currentRecord = record;
    work.lastCommand = nullptr;
    ++work.drawRecordCount;
    return record;
}

} // namespace

DrawRecord* AllocDrawRecord() {
    RendererWorkData* work = StartedRenderer();
    return work ? TakeDrawRecord(*work) : nullptr;
}

void AddDrawRecord(const float* rootColor, float softDistance, uint32_t viewIndex,
                   const float* effectLight, const float* alphaLightMatrix,
                   const float* alphaLightParameter) {
    if (RendererWorkData* work = StartedRenderer())
        AddDrawRecordTo(*work, rootColor, softDistance, viewIndex, effectLight, alphaLightMatrix,
                        alphaLightParameter);
}

void AddDrawRecordTo(RendererWorkData& work, const float* rootColor, float softDistance,
                     uint32_t viewIndex, const float* effectLight, const float* alphaLightMatrix,
                     const float* alphaLightParameter) {
    DrawRecord* record = TakeDrawRecord(work);
    if (!record)
        return;
    // Only three camera spaces exist; a value from damaged data draws in
    // the first rather than with no matrix at all.
    const uint32_t view = viewIndex < kCameraSpaces ? viewIndex : 0;
    work.recordView = view;
    work.billboard = 1;
    if (rootColor)
        std::memcpy(record->rootColor, rootColor, sizeof(record->rootColor));
    record->effectLight = effectLight;
    record->alphaLightMatrix = alphaLightMatrix;
    record->alphaLightParameter = alphaLightParameter;
    record->matrix = work.CameraSpaceMatrix(view);
    work.viewVector = view == 0 && work.cameraPosition ? work.cameraPosition : kZero4;
    record->screenParameter[0] = work.pixelTerms[1][0];
    record->screenParameter[1] = work.pixelTerms[1][1];
    record->screenParameter[2] = softDistance;
    record->screenParameter[3] = softDistance < 0.0f ? 1.0f : 0.0f;
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
    VertexEntry* v = work.vertexPool.Current();
    IndexEntry* i = work.indexPool.Current();
    // Nothing reserved since the last flush (a change of state between
    // instances): no command, nothing to count.
    if (v && i && v->pending == 0 && i->pending == 0)
        return;
    if (!work.exhausted && v && i) {
        switch (RenderStateWord::GetBatchKind(work.currentStateWord)) {
        case BatchKind::kVertex:
            if (v->pending)
                FlushVertexBatch(work, *v, *i);
            break;
        case BatchKind::kParticle:
            if (i->pending)
                FlushParticleBatch(work, *v, *i);
            break;
        case BatchKind::kIndexed:
            if (i->pending)
                FlushIndexedBatch(work, *v, *i);
            break;
        default:
            break;
        }
    }
    // Whatever was reserved counts as used, drawn or not: bytes left
    // pending would shift the next batch's base vertex by another stride's
    // bytes, and the next layer would lock over them.
    work.vertexPool.CommitPending();
    work.indexPool.CommitPending();
}

} // namespace FulgorCore::Renderer
