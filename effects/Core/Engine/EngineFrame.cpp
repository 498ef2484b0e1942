// The runtime's frame: the update of every instance, the draw entries, the
// layer switches, the frame list, the host's input events and the pointer's
// hover test.
#include "effects/Core/Engine/DrawParameter.h"
#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineInternal.h"
#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Engine/FrameListPause.h"
#include "effects/Core/Engine/InputEvent.h"
#include "effects/Core/Engine/InstanceSlot.h"
#include "effects/Core/Engine/ObjectSlot.h"
#include "effects/Core/Engine/PointerEvent.h"
#include "effects/Core/Engine/RuntimeGlobals.h"
#include "effects/Core/Engine/UpdateParameter.h"
#include "effects/Core/Interface/JobDispatcher.h"
#include "effects/Core/Math/Camera.h"
#include "effects/Core/Math/Intersection.h"
#include "effects/Core/Math/Matrix.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/render/FrustumTest.h"
#include "effects/render/Renderer.h"
#include "effects/render/RendererWorkData.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/ParticleInstance.h"
#include "effects/units/PickBounds.h"

#include <cstring>
#include <mutex>

namespace FulgorCore::Engine {

namespace {

constexpr uint32_t kCameraSpaces = 3;

using ShapeTest = bool (*)(const float* start, const float* end, const float* bounds);
constexpr ShapeTest kShapeTests[PickBounds::kKindCount] = {Math::SegmentHitsBox,
                                                           Math::RayHitsSphere};

// Whether the pointer ray of the unit's camera space, taken into the unit's
// local space, hits its bounds.
bool Hits(const ParticleInstance& unit, const float (*nearPoints)[4], const float (*farPoints)[4]) {
    const PickBounds* bounds = unit.pickBounds;
    if (!bounds || bounds->kind >= PickBounds::kKindCount)
        return false;
    const PackageResource* package = unit.owner->package;
    const uint32_t space = package ? package->GetCST() : 0;
    if (space >= kCameraSpaces)
        return false;
    const float* toLocal = unit.GetInverseWorldMatrix();
    float start[3];
    float end[3];
    Math::TransformPoint34(start, nearPoints[space], toLocal);
    Math::TransformPoint34(end, farPoints[space], toLocal);
    return kShapeTests[bounds->kind](start, end, bounds->values);
}

} // namespace

void Update(const UpdateParameter* parameter) {
    EngineWorkData* work = GetWorkData();
    RendererWorkData* renderer = Renderer::GetWorkData();
    if (!work || !renderer || !parameter)
        return;
    Renderer::SetFrameCamera(parameter->viewMatrix);
    Math::BuildFrustumPlanes(&work->frustumPlanes[0][0], renderer->viewProjection);

    std::lock_guard<std::recursive_mutex> lock(work->instanceLock);
    GetFrameWorkMemory().Flip();
    RunFirstPass(*work);
    work->frameListCount.exchange(0);
    work->projectionList.count = 0;
    for (EngineWorkData::InstanceList& layer : work->layers)
        layer.count = 0;
    RunSecondPass(*work, parameter->timeStep);
    if (JobDispatcher* dispatcher = work->parameter.pJobDispatcher) {
        std::lock_guard<std::recursive_mutex> wait(work->instanceLock);
        dispatcher->WaitAll();
    }
}

void ResetDrawState() {
    Renderer::ResetDrawState();
}

void Draw(uint32_t view, const DrawParameter* parameter) {
    EngineWorkData* work = GetWorkData();
    if (!work || !parameter)
        return;
    Renderer::SetCamera(view, *parameter);
    if (view == work->pointerView)
        ProcessPointerInput();
}

void DrawLayer(uint32_t layer) {
    Renderer::DrawLayer(layer, 0);
}

void DrawProjectionList() {
    Renderer::DrawProjectionList();
}

void DrawInstance(uint32_t index, uint32_t serial) {
    Renderer::DrawInstance(index, serial);
}

void SetLayerEnabled(uint32_t layer, uint8_t enabled) {
    EngineWorkData* work = GetWorkData();
    if (work && layer < EngineWorkData::kLayerCount)
        work->layerEnabled[layer] = enabled;
}

void SetPointerView(uint32_t view, float value) {
    if (EngineWorkData* work = GetWorkData()) {
        work->pointerView = view;
        work->pointerParameter = value;
    }
}

void PostInputEvent(const InputEvent* event) {
    EngineWorkData* work = GetWorkData();
    if (!work || !event)
        return;
    if (work->inputQueueCount >= EngineWorkData::kInputQueueSize) {
        std::memmove(&work->inputQueue[0], &work->inputQueue[1],
                     (EngineWorkData::kInputQueueSize - 1) * sizeof(work->inputQueue[0]));
        work->inputQueueCount = EngineWorkData::kInputQueueSize - 1;
    }
    const uint32_t kind = event->GetKind();
    if (kind < InputEvent::kPointerPosition) {
        work->inputQueue[work->inputQueueCount++] = {kind, event->value};
    } else if (kind == InputEvent::kPointerPosition) {
        work->pointerPosition[0] = 2.0f * event->x - 1.0f;
        work->pointerPosition[1] = -(2.0f * event->y - 1.0f);
        work->pointerValid = 1;
    }
}

const char* GetVersionString() {
    return "ver.1.0.0 rev.2251";
}

void PushFrameList(ParticleInstance* unit) {
    EngineWorkData* work = GetWorkData();
    if (!work || FrameListPause::Active())
        return;
    const uint32_t at = work->frameListCount.fetch_add(1);
    if (at < EngineWorkData::kFrameListSize)
        work->frameList[at] = {0.0f, unit};
}

bool IsSphereInFrustum(const InstanceSlot& instance) {
    const EngineWorkData* work = GetWorkData();
    return !work || IsInstanceInFrustum(work->frustumPlanes, instance);
}

void UpdatePointerHover(uint32_t first, uint32_t last, const FrameListEntry* list,
                        const float (*nearPoints)[4], const float (*farPoints)[4]) {
    EngineWorkData* work = GetWorkData();
    if (!work || !work->pointerValid || !list)
        return;
    ParticleInstance* hit = nullptr;
    for (uint32_t i = first; i <= last && i < EngineWorkData::kFrameListSize; ++i) {
        ParticleInstance* unit = list[i].unit;
        if (unit && Hits(*unit, nearPoints, farPoints)) {
            hit = unit;
            break;
        }
    }
    if (hit == work->hoveredUnit)
        return;
    if (work->hoveredUnit)
        work->hoveredUnit->PostEvent(0, PointerEvent::kLeft);
    work->hoveredUnit = hit;
    if (hit)
        hit->PostEvent(0, PointerEvent::kEntered);
}

} // namespace FulgorCore::Engine
