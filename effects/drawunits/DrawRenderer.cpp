#include "effects/drawunits/DrawRenderer.h"

#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Engine/RuntimeGlobals.h"
#include "effects/Core/Interface/Job.h"
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
    // Read in place: every draw unit's command comes through here.
    const RuntimeGlobals& g = RuntimeGlobals::Get();
    EngineWorkData* work = g.started ? g.engine : nullptr;
    if (work && work->submitJob)
        work->submitJob(job);
    else
        job->Execute();
}

void SubmitNothing(DrawUnitType4*) {}

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
    SubmitNothing,
    SubmitNothing,
};

namespace {

DrawRenderer g_current = DrawRenderer::kBuiltIn;

} // namespace

DrawRenderer& DrawRenderer::Current() {
    return g_current;
}

} // namespace FulgorCore
