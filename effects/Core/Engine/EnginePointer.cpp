// The pointer pass: which pickable unit is under the pointer, and what the
// host's pointer commands since the last pass mean for the units.
#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineInternal.h"
#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Engine/PointerEvent.h"
#include "effects/Core/Math/Camera.h"
#include "effects/Core/Math/Matrix.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/render/Renderer.h"
#include "effects/render/RendererWorkData.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/ParticleInstance.h"

namespace FulgorCore::Engine {

namespace {

constexpr uint32_t kCameraSpaces = 3;
// Commands 2-5 and the events they post on the pressed unit.
constexpr uint8_t kCommandEvents[4] = {PointerEvent::kCommand2, PointerEvent::kCommand3,
                                       PointerEvent::kCommand4, PointerEvent::kCommand5};

// The view depth of the unit's translation in its effect's camera space:
// space 0 through the view matrix, the others as they stand.
float DepthOf(const RendererWorkData& renderer, const ParticleInstance& unit) {
    const float* t = &unit.GetWorldMatrix()[9];
    const PackageResource* package = unit.owner->package;
    if (package && package->GetCST() == 0) {
        const float* m = renderer.view;
        return t[0] * m[2] + t[1] * m[6] + t[2] * m[10] + m[14];
    }
    return t[2];
}

// Largest depth first; entries of equal depth keep their frame-list order.
// At most 128 entries, sorted in place without taking memory.
void SortByDepth(FrameListEntry* list, uint32_t n) {
    for (uint32_t i = 1; i < n; ++i) {
        const FrameListEntry entry = list[i];
        uint32_t j = i;
        for (; j > 0 && list[j - 1].depth < entry.depth; --j)
            list[j] = list[j - 1];
        list[j] = entry;
    }
}

// The pointer's near and far ends in each camera space: space 0 through
// the stored inverse view x projection, spaces 1 and 2 through the
// inverses of their matrices.
void BuildRays(const RendererWorkData& renderer, const float* pointer, float (*nearPoints)[4],
               float (*farPoints)[4]) {
    Math::UnprojectPointerRay(nearPoints[0], farPoints[0], pointer[0], pointer[1],
                              renderer.inverseViewProjection);
    for (uint32_t k = 1; k < kCameraSpaces; ++k) {
        float inverse[16];
        Math::Matrix44Inverse(inverse, renderer.CameraSpaceMatrix(k));
        Math::UnprojectPointerRay(nearPoints[k], farPoints[k], pointer[0], pointer[1], inverse);
    }
}

void Post(ParticleInstance* unit, uint8_t event) {
    if (unit)
        unit->PostEvent(0, event);
}

// A release over the pressed unit is a click: the unit hears it, and each
// particle instance beside it under the same parent hears that a sibling
// was clicked.
void PostClick(ParticleInstance* unit) {
    Post(unit, PointerEvent::kClicked);
    const UnitInstance* parent = unit->parent;
    if (!parent)
        return;
    // Kind 3 is also the emitters' transform units: only particle
    // instances hear it.
    for (UnitInstance* c = parent->firstChild; c; c = c->nextSibling)
        if (c != unit && c->GetKind() == UnitInstance::kParticleNode)
            if (auto* sibling = dynamic_cast<ParticleInstance*>(c))
                sibling->PostEvent(0, PointerEvent::kSiblingClicked);
}

void RunCommand(EngineWorkData& work, uint32_t command) {
    ParticleInstance* pressed = work.pressedUnit;
    switch (command) {
    case PointerEvent::kPress:
        Post(pressed, PointerEvent::kReleased);
        work.pressedUnit = work.hoveredUnit;
        Post(work.pressedUnit, PointerEvent::kPressed);
        break;
    case PointerEvent::kRelease:
        if (!pressed)
            break;
        Post(pressed, PointerEvent::kReleased);
        if (pressed == work.hoveredUnit)
            PostClick(pressed);
        work.pressedUnit = nullptr;
        break;
    case 2:
    case 3:
    case 4:
    case 5:
        Post(pressed, kCommandEvents[command - 2]);
        break;
    default:
        break;
    }
}

} // namespace

void ProcessPointerInput() {
    EngineWorkData* work = GetWorkData();
    const RendererWorkData* renderer = Renderer::GetWorkData();
    if (!work || !renderer)
        return;
    // Past 128 pushes the list holds the first 128.
    const uint32_t pushed = work->frameListCount.load();
    const uint32_t n =
        pushed < EngineWorkData::kFrameListSize ? pushed : EngineWorkData::kFrameListSize;
    if (n == 0)
        return;
    FrameListEntry* list = work->frameList;
    for (uint32_t i = 0; i < n; ++i)
        list[i].depth = DepthOf(*renderer, *list[i].unit);
    SortByDepth(list, n);

    // View space looks down -z: units behind the camera (depth above 0)
    // and beyond the maximum pick depth are no candidates.
    uint32_t first = 0;
    while (first < n && list[first].depth > 0.0f)
        ++first;
    uint32_t end = n;
    while (end > first && list[end - 1].depth < -work->pointerParameter)
        --end;

    float nearPoints[kCameraSpaces][4];
    float farPoints[kCameraSpaces][4];
    BuildRays(*renderer, work->pointerPosition, nearPoints, farPoints);
    // An empty range is still tested, so that a unit the pointer has left
    // hears it.
    if (first < end)
        UpdatePointerHover(first, end - 1, list, nearPoints, farPoints);
    else
        UpdatePointerHover(1, 0, list, nearPoints, farPoints);

    for (uint32_t i = 0; i < work->inputQueueCount; ++i)
        RunCommand(*work, work->inputQueue[i].kind);
    work->inputQueueCount = 0;
}

} // namespace FulgorCore::Engine
