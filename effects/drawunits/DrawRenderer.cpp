#include "effects/drawunits/DrawRenderer.h"

#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Engine/RuntimeGlobals.h"
#include "effects/Core/Interface/Job.h"
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

void PrepareNothing(const FieldPoint*, uint32_t, const DrawDataType4&, void*, const DrawClock&,
                    const float*) {}

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
    {PrepareNothing, PrepareNothing, PrepareNothing, PrepareNothing, PrepareNothing, PrepareNothing,
     PrepareNothing, PrepareNothing, PrepareNothing, PrepareNothing, PrepareNothing,
     PrepareNothing},
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
