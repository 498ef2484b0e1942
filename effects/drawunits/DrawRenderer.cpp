#include "effects/drawunits/DrawRenderer.h"

#include "effects/Core/Engine/RuntimeGlobals.h"
#include "effects/Core/Interface/Job.h"
#include "effects/Core/Interface/JobDispatcher.h"
#include "effects/drawunits/DrawUnitType4.h"
#include "effects/render/Renderer.h"
#include "effects/render/RendererWorkData.h"

namespace FulgorCore {

namespace {

uint8_t* RendererBatchKind() {
    // Outside a started runtime a byte of its own keeps the callers simple.
    static uint8_t detached = 0;
    RendererWorkData* work = Renderer::GetWorkData();
    return work ? &work->billboard : &detached;
}

void SubmitToRuntime(Job* job) {
    // Every draw unit's command comes through here. Without the host's
    // dispatcher the runtime runs jobs at once, so the command runs here
    // rather than through one more call.
    if (JobDispatcher* dispatcher = RuntimeGlobals::Get().jobDispatcher)
        dispatcher->Submit(job);
    else
        job->Execute();
}

DrawRenderer::BufferSizes PoolBufferSizes() {
    const RendererWorkData* work = Renderer::GetWorkData();
    return work ? DrawRenderer::BufferSizes{work->vertexPool.size, work->indexPool.size}
                : DrawRenderer::BufferSizes{0, 0};
}

} // namespace

const DrawRenderer DrawRenderer::kBuiltIn = {
    Renderer::ReserveVertices,
    Renderer::ReserveVertices48,
    Renderer::ReserveVerticesNoIndex32,
    Renderer::ReserveVertices32,
    Renderer::ReserveVertices44,
    Renderer::ReserveVertices52,
    Renderer::FlushBatches,
    RendererBatchKind,
    SubmitToRuntime,
    {DrawUnitType4::PrepareVertices<DrawUnitType4::kLines, 0>,
     DrawUnitType4::PrepareVertices<DrawUnitType4::kLines, 1>,
     DrawUnitType4::PrepareVertices<DrawUnitType4::kFadingLines, 0>,
     DrawUnitType4::PrepareVertices<DrawUnitType4::kFadingLines, 1>,
     DrawUnitType4::PrepareVertices<DrawUnitType4::kQuads, 0>,
     DrawUnitType4::PrepareVertices<DrawUnitType4::kQuads, 1>,
     DrawUnitType4::PrepareVertices<DrawUnitType4::kQuads, 2>,
     DrawUnitType4::PrepareVertices<DrawUnitType4::kQuads, 3>,
     DrawUnitType4::PrepareVertices<DrawUnitType4::kQuads, 4>,
     DrawUnitType4::PrepareVertices<DrawUnitType4::kQuads, 5>,
     DrawUnitType4::PrepareVertices<DrawUnitType4::kQuads, 6>,
     DrawUnitType4::PrepareVertices<DrawUnitType4::kQuads, 7>},
    DrawUnitType4::SubmitPreparedVertices,
    DrawUnitType4::SubmitDrawQuads,
    Renderer::AllocateDrawCommandSpace,
    PoolBufferSizes,
};

DrawRenderer DrawRenderer::current_ = DrawRenderer::kBuiltIn;

} // namespace FulgorCore
