#include "effects/drawunits/DrawRenderer.h"

#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Engine/Renderer.h"
#include "effects/Core/Engine/RendererWorkData.h"
#include "effects/Core/Interface/Job.h"
#include "effects/drawunits/DrawUnitType4.h"

namespace FulgorCore {

namespace {

bool RefuseReserve(const IShader*, const uint32_t*, const TextureSlot*, uint8_t, void**, uint32_t,
                   uint16_t**, uint16_t*, uint32_t) {
    return false;
}

bool RefuseReserveNoIndex(const IShader*, const uint32_t*, const TextureSlot*, uint8_t, void**,
                          uint32_t) {
    return false;
}

uint8_t* RendererBatchKind() {
    // Outside a started runtime a byte of its own keeps the callers simple.
    static uint8_t detached = 0;
    RendererWorkData* work = Renderer::GetWorkData();
    return work ? &work->billboard : &detached;
}

void SubmitToRuntime(Job* job) {
    EngineWorkData* work = Engine::GetWorkData();
    if (work && work->submitJob)
        work->submitJob(job);
    else
        job->Execute();
}

void SubmitNothing(DrawUnitType4*) {}

} // namespace

const DrawRenderer DrawRenderer::kBuiltIn = {
    RefuseReserve,
    RefuseReserve,
    RefuseReserveNoIndex,
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
