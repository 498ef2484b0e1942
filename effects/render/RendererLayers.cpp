// Drawing a layer, the projection list or one instance: the visible
// instances are keyed and sorted, each gets a draw record and draws its
// units, and the records run through the device.
#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineInternal.h"
#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Engine/InstanceSlot.h"
#include "effects/Core/Interface/IDevice.h"
#include "effects/Core/Interface/JobDispatcher.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/render/DrawSortEntry.h"
#include "effects/render/FrustumTest.h"
#include "effects/render/Renderer.h"
#include "effects/render/RendererWorkData.h"
#include "effects/render/StartedRenderer.h"
#include "effects/units/InstanceRootUnit.h"

#include <algorithm>
#include <mutex>

namespace FulgorCore::Renderer {

namespace {

constexpr uint32_t kDrawnUnits = 0;
constexpr uint32_t kProjectionUnits = 1;
constexpr float kShownAlpha = 0.001f;

// Shown, not transparent, started and possibly in the frustum.
bool IsDrawable(const EngineWorkData& engine, const InstanceSlot& instance) {
    return instance.hidden == 0 && instance.colour[3] > kShownAlpha && instance.root &&
           IsInstanceInFrustum(engine.frustumPlanes, instance);
}

// Drawn in this draw's view and visibility mask too.
bool IsDrawnInView(const RendererWorkData& work, const EngineWorkData& engine,
                   const InstanceSlot& instance) {
    const uint32_t viewBit = work.viewIndex < 16 ? (1u << work.viewIndex) : 0u;
    return (instance.viewMask & viewBit) != 0 &&
           (instance.visibilityMask & work.drawParameter.visibilityMask) != 0 &&
           IsDrawable(engine, instance);
}

// The draw record of an instance, from what its root unit and effect give.
void AddInstanceRecord(const InstanceSlot& instance) {
    const InstanceRootUnit& root = *instance.root;
    const PackageResource* package = root.package;
    AddDrawRecord(root.GetCurrentColor(),
                  (package ? package->GetSftP() : 0.0f) + instance.drawOffset,
                  package ? package->GetCST() : 0, root.effectLight, root.alphaLightMatrix,
                  root.alphaLightParameter);
}

// The sort list: an entry keyed by `setKey` for each instance of the list
// drawn in this view.
template <class SetKey>
void KeyInstances(const RendererWorkData& work, EngineWorkData& engine,
                  const EngineWorkData::InstanceList& list, SetKey setKey) {
    EngineWorkData::SortList& sorted = engine.sortList;
    sorted.count = 0;
    for (uint32_t i = 0; i < list.count; ++i) {
        InstanceSlot& instance = *list.instances[i];
        if (!IsDrawnInView(work, engine, instance))
            continue;
        DrawSortEntry& entry = sorted.entries[sorted.count++];
        entry.instance = &instance;
        setKey(entry, instance);
    }
}

// What a root's draw reads: its table pointer and tree links (the collect
// pass), the parameter its units' polygon offsets scale by, its package,
// lists and lights (the draw record and the draw order) and its colour,
// all within its first five lines.
void PrefetchRoot(const InstanceRootUnit* root) {
    const auto* bytes = reinterpret_cast<const char*>(root);
    const auto* end = reinterpret_cast<const char*>(root->currentColor + 4);
    for (; bytes < end; bytes += 64)
        __builtin_prefetch(bytes);
}

// Ascending keys, drawn from the last: the lowest priority value first,
// then the farthest, then the highest index.
void DrawSorted(EngineWorkData::SortList& sorted, uint32_t category) {
    const auto keyBefore = [](const DrawSortEntry& a, const DrawSortEntry& b) {
        return a.key < b.key;
    };
    // A layer's list mostly keeps its order from frame to frame: one pass
    // finds it sorted and spares the sort.
    DrawSortEntry* const end = sorted.entries + sorted.count;
    if (!std::is_sorted(sorted.entries, end, keyBefore))
        std::sort(sorted.entries, end, keyBefore);
    for (uint32_t i = sorted.count; i-- > 0;) {
        // Each root lives in a pool block of its own: the next one's draw
        // state is fetched while this one draws.
        if (i > 0)
            PrefetchRoot(sorted.entries[i - 1].instance->root);
        const InstanceSlot& instance = *sorted.entries[i].instance;
        AddInstanceRecord(instance);
        instance.root->DrawCategory(category);
        FlushBatches();
    }
}

// With the host's dispatcher, draw commands may still be writing their
// geometry: the records run only after every one has.
void WaitForDrawCommands(EngineWorkData& engine) {
    if (JobDispatcher* dispatcher = engine.parameter.pJobDispatcher) {
        std::lock_guard<std::recursive_mutex> lock(engine.instanceLock);
        dispatcher->WaitAll();
    }
}

void EndLayer(RendererWorkData& work) {
    ExecuteDrawRecords();
    work.device->OnLayerEnd();
}

} // namespace

void DrawLayer(uint32_t layer, uint32_t) {
    RendererWorkData* work = StartedRenderer();
    EngineWorkData* engine = Engine::GetWorkData();
    if (!work || !engine || layer >= EngineWorkData::kLayerCount || !engine->layerEnabled[layer])
        return;
    const EngineWorkData::InstanceList& list = engine->layers[layer];
    if (list.count == 0)
        return;
    work->device->ResetRenderState();
    BeginFrame(layer);
    const bool sortsByDepth = engine->layerDepthSort[layer] != 0;
    KeyInstances(*work, *engine, list, [&](DrawSortEntry& entry, const InstanceSlot& instance) {
        const float depth =
            sortsByDepth ? ComputeViewDepth(instance.root->GetWorldMatrix() + 9) : 0.0f;
        entry.SetKey(instance.drawOrder, depth, instance.index);
    });
    DrawSorted(engine->sortList, kDrawnUnits);
    WaitForDrawCommands(*engine);
    EndLayer(*work);
}

void DrawProjectionList() {
    RendererWorkData* work = StartedRenderer();
    EngineWorkData* engine = Engine::GetWorkData();
    if (!work || !engine || engine->projectionList.count == 0)
        return;
    const EngineWorkData::InstanceList& list = engine->projectionList;
    work->device->ResetRenderState();
    BeginFrame(0);
    KeyInstances(*work, *engine, list, [](DrawSortEntry& entry, const InstanceSlot& instance) {
        entry.SetKey(instance.drawOrder, 0.0f, instance.layer);
    });
    // Projection volumes issue ready commands: no job writes geometry.
    DrawSorted(engine->sortList, kProjectionUnits);
    EndLayer(*work);
}

void DrawInstance(uint32_t index, uint32_t serial) {
    RendererWorkData* work = StartedRenderer();
    EngineWorkData* engine = Engine::GetWorkData();
    InstanceSlot* instance = Engine::FindInstance(index, serial);
    if (!work || !engine || !instance || !IsDrawable(*engine, *instance))
        return;
    work->device->ResetRenderState();
    BeginFrame(0);
    AddInstanceRecord(*instance);
    instance->root->DrawCategory(kProjectionUnits);
    instance->root->DrawCategory(kDrawnUnits);
    FlushBatches();
    if (JobDispatcher* dispatcher = engine->parameter.pJobDispatcher)
        dispatcher->Flush();
    WaitForDrawCommands(*engine);
    EndLayer(*work);
}

} // namespace FulgorCore::Renderer
