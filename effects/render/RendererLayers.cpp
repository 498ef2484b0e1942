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
#include "effects/render/DrawRecordFill.h"
#include "effects/render/DrawSortEntry.h"
#include "effects/render/FrustumTest.h"
#include "effects/render/Renderer.h"
#include "effects/render/RendererSteps.h"
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

// Shown, not transparent, started and possibly in the frustum. Inline
// whole: the layer draw tests every instance of a layer each frame.
[[gnu::always_inline]] inline bool IsDrawable(const EngineWorkData& engine,
                                              const InstanceSlot& instance) {
    return instance.hidden == 0 && instance.colour[3] > kShownAlpha && instance.root &&
           IsInstanceInFrustum(engine.frustumPlanes, instance);
}

// The bit of the view being drawn in an instance's view mask; none past
// the sixteen views.
uint32_t ViewBit(const RendererWorkData& work) {
    return work.viewIndex < 16 ? (1u << work.viewIndex) : 0u;
}

// Drawn in this draw's view (`viewBit`) and visibility mask too.
[[gnu::always_inline]] inline bool IsDrawnInView(uint32_t viewBit, uint32_t visibilityMask,
                                                 const EngineWorkData& engine,
                                                 const InstanceSlot& instance) {
    return (instance.viewMask & viewBit) != 0 && (instance.visibilityMask & visibilityMask) != 0 &&
           IsDrawable(engine, instance);
}

// The draw record of an instance, from what its root unit and effect give.
// The colour is asked for first; the rest is read once the record is
// taken, next to where it is written.
[[gnu::always_inline]] inline void AddInstanceRecord(RendererWorkData& work,
                                                     const InstanceSlot& instance) {
    const InstanceRootUnit& root = *instance.root;
    const float* colour = root.GetCurrentColor();
    DrawRecord* r = TakeDrawRecord(work);
    if (!r)
        return;
    const PackageResource* package = root.package;
    FillDrawRecord(work, *r, colour, (package ? package->GetSftP() : 0.0f) + instance.drawOffset,
                   package ? package->GetCST() : 0, root.publishedDirection,
                   root.publishedInverseMatrix, root.publishedRange);
}

// The sort list: an entry keyed by `setKey` for each instance of the list
// drawn in this view. What the filter compares with is the same for the
// whole list and read once. Whether the keys came out ascending: a layer's
// list mostly keeps its order from frame to frame, and then needs no sort.
template <class SetKey>
bool KeyInstances(const RendererWorkData& work, EngineWorkData& engine,
                  const EngineWorkData::InstanceList& list, SetKey setKey) {
    const uint32_t viewBit = ViewBit(work);
    const uint32_t visibilityMask = work.drawParameter.visibilityMask;
    DrawSortEntry* const entries = engine.sortList.entries;
    DrawSortEntry* entry = entries;
    uint64_t previous = 0;
    bool ascending = true;
    InstanceSlot* const* const end = list.instances + list.count;
    for (InstanceSlot* const* slot = list.instances; slot != end; ++slot) {
        InstanceSlot& instance = **slot;
        if (!IsDrawnInView(viewBit, visibilityMask, engine, instance))
            continue;
        entry->instance = &instance;
        setKey(*entry, instance);
        ascending &= entry->key >= previous;
        previous = entry->key;
        ++entry;
    }
    engine.sortList.count = static_cast<uint32_t>(entry - entries);
    return ascending;
}

// What a root's draw reads: its table pointer and tree links (the collect
// pass), the parameter its units' polygon offsets scale by, its package,
// lists and lights (the draw record and the draw order) and its colour,
// all within its first five lines.
void PrefetchRoot(const InstanceRootUnit* root) {
    const auto* first = reinterpret_cast<const char*>(root);
    PrefetchSpan(first, static_cast<uint32_t>(
                            reinterpret_cast<const char*>(root->currentColor + 4) - first));
}

// One instance of the sorted list: its record, its collected units of the
// category in its package's order, and the batch they leave pending.
[[gnu::always_inline]] inline void DrawEntry(RendererWorkData& work, const InstanceSlot& instance,
                                             uint32_t category) {
    AddInstanceRecord(work, instance);
    instance.root->DrawCollected(category);
    FlushBatchesOf(work);
}

// The draw of the sorted list asks for an instance's root this many
// instances before it draws it. Neither the slots nor the draw lists are
// asked for: keying the list has just read each slot, and, measured,
// asking for the lists did not shorten the layer draw.
constexpr uint32_t kRootAhead = 2;

// Ascending keys, drawn from the last: the lowest priority value first,
// then the farthest, then the highest index.
// `ascending`: the list was keyed in order and needs no sort.
void DrawSorted(RendererWorkData& work, EngineWorkData::SortList& sorted, bool ascending,
                uint32_t category) {
    DrawSortEntry* const entries = sorted.entries;
    const uint32_t count = sorted.count;
    if (!ascending)
        std::sort(entries, entries + count,
                  [](const DrawSortEntry& a, const DrawSortEntry& b) { return a.key < b.key; });
    if (count == 0)
        return;
    // The next instance is collected before this one draws, and the root
    // after it is asked for. Collecting reads only the tree and the
    // camera, which drawing leaves alone.
    const auto rootOf = [](const DrawSortEntry& entry) { return entry.instance->root; };
    rootOf(entries[count - 1])->CollectDrawLists();
    // `ahead`: how many entries lie below `e`; a constant in the main
    // loop, where every step applies.
    const auto step = [&](const DrawSortEntry* e, uint32_t ahead) {
        if (ahead >= kRootAhead)
            PrefetchRoot(rootOf(e[-2]));
        if (ahead >= 1)
            rootOf(e[-1])->CollectDrawLists();
        DrawEntry(work, *e->instance, category);
    };
    // Positions are compared as distances from the first entry: a pointer
    // kRootAhead past the first could lie past a table shorter than that.
    const DrawSortEntry* e = entries + count - 1;
    for (; e - entries >= kRootAhead; --e)
        step(e, kRootAhead);
    for (;; --e) {
        step(e, static_cast<uint32_t>(e - entries));
        if (e == entries)
            break;
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
    const bool ascending =
        engine->layerDepthSort[layer] != 0
            ? KeyInstances(*work, *engine, list,
                           [](DrawSortEntry& entry, const InstanceSlot& instance) {
                               const float depth =
                                   ComputeViewDepth(instance.root->GetWorldMatrix() + 9);
                               entry.SetKey(instance.drawOrder, depth, instance.index);
                           })
            : KeyInstances(*work, *engine, list,
                           [](DrawSortEntry& entry, const InstanceSlot& instance) {
                               entry.SetKey(instance.drawOrder, 0.0f, instance.index);
                           });
    DrawSorted(*work, engine->sortList, ascending, kDrawnUnits);
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
    const bool ascending =
        KeyInstances(*work, *engine, list, [](DrawSortEntry& entry, const InstanceSlot& instance) {
            entry.SetKey(instance.drawOrder, 0.0f, instance.layer);
        });
    // Projection volumes issue ready commands: no job writes geometry.
    DrawSorted(*work, engine->sortList, ascending, kProjectionUnits);
    EndLayer(*work);
}

void DrawInstance(uint32_t index, uint32_t serial) {
    RendererWorkData* work = StartedRenderer();
    EngineWorkData* engine = Engine::GetWorkData();
    InstanceSlot* instance = Engine::FindInstance(index, serial);
    // As in the layers, only an instance evaluated in this frame's update
    // has something to draw.
    if (!work || !engine || !instance || !(instance->flags & InstanceSlot::kEvaluated) ||
        !IsDrawable(*engine, *instance))
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
