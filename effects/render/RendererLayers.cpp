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
#include "effects/render/DrawPrefetch.h"
#include "effects/render/DrawSortEntry.h"
#include "effects/render/FrustumTest.h"
#include "effects/render/Renderer.h"
#include "effects/render/RendererSteps.h"
#include "effects/render/RendererWorkData.h"
#include "effects/render/StartedRenderer.h"
#include "effects/units/DrawLists.h"
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
void AddInstanceRecord(RendererWorkData& work, const InstanceSlot& instance) {
    const InstanceRootUnit& root = *instance.root;
    const PackageResource* package = root.package;
    AddDrawRecordTo(work, root.GetCurrentColor(),
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
    PrefetchRange(root, root->currentColor + 4);
}

// The first draw units collected for a category: the rest are fetched
// ahead by the draw order as it goes.
void PrefetchCollectedUnits(const DrawLists& lists, uint32_t category) {
    uint32_t left = kCollectedUnitsAhead;
    for (uint32_t l = 0; l < DrawLists::kLists && left; ++l) {
        const DrawListEntry* list = lists.arrays[category][l];
        const uint32_t count = list ? lists.fillCounts[category][l] : 0;
        for (uint32_t i = 0; i < count && left; ++i, --left)
            PrefetchLines(list[i].unit, kDrawUnitLines);
    }
}

// Collects the draw lists of one instance and fetches its first units.
void Collect(InstanceRootUnit& root, uint32_t category) {
    root.CollectDrawLists();
    if (root.drawLists && category < DrawLists::kCategories)
        PrefetchCollectedUnits(*root.drawLists, category);
}

// Ascending keys, drawn from the last: the lowest priority value first,
// then the farthest, then the highest index.
void DrawSorted(RendererWorkData& work, EngineWorkData::SortList& sorted, uint32_t category) {
    const auto keyBefore = [](const DrawSortEntry& a, const DrawSortEntry& b) {
        return a.key < b.key;
    };
    // A layer's list mostly keeps its order from frame to frame: one pass
    // finds it sorted and spares the sort.
    DrawSortEntry* const entries = sorted.entries;
    if (!std::is_sorted(entries, entries + sorted.count, keyBefore))
        std::sort(entries, entries + sorted.count, keyBefore);
    // Each step depends on the one before (the instance record names the
    // root, the root its lists, the lists the units), so each is taken an
    // instance further ahead than the next: the record four ahead, the root
    // three, the lists two, and the next instance is collected, its first
    // units fetched, before this one draws. Collecting reads only the tree
    // and the camera, which drawing leaves alone.
    const auto slotAt = [entries](uint32_t i) -> const InstanceSlot& {
        return *entries[i].instance;
    };
    const uint32_t count = sorted.count;
    for (uint32_t i = count; i-- > count - std::min(count, 4u);)
        __builtin_prefetch(&entries[i].instance->root);
    if (count)
        Collect(*slotAt(count - 1).root, category);
    for (uint32_t i = count; i-- > 0;) {
        if (i >= 4)
            __builtin_prefetch(&entries[i - 4].instance->root);
        if (i >= 3)
            PrefetchRoot(slotAt(i - 3).root);
        if (i >= 2) {
            if (const DrawLists* lists = slotAt(i - 2).root->drawLists)
                PrefetchLines(lists, (sizeof(DrawLists) + 63) / 64);
        }
        if (i >= 1)
            Collect(*slotAt(i - 1).root, category);
        const InstanceSlot& instance = slotAt(i);
        AddInstanceRecord(work, instance);
        work.unitsFetched = kCollectedUnitsAhead;
        instance.root->DrawCollected(category);
        work.unitsFetched = 0;
        FlushBatchesOf(work);
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
    DrawSorted(*work, engine->sortList, kDrawnUnits);
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
    DrawSorted(*work, engine->sortList, kProjectionUnits);
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
    AddInstanceRecord(*work, *instance);
    instance->root->DrawCategory(kProjectionUnits);
    instance->root->DrawCategory(kDrawnUnits);
    FlushBatches();
    if (JobDispatcher* dispatcher = engine->parameter.pJobDispatcher)
        dispatcher->Flush();
    WaitForDrawCommands(*engine);
    EndLayer(*work);
}

} // namespace FulgorCore::Renderer
