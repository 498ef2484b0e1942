#include "effects/Core/Engine/Engine.h"

#include "effects/Core/Engine/EngineInternal.h"
#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Engine/InstanceSlot.h"
#include "effects/Core/Engine/ObjectSlot.h"
#include "effects/Core/Engine/RuntimeGlobals.h"
#include "effects/Core/Interface/IDevice.h"
#include "effects/Core/Interface/ILightListenner.h"
#include "effects/Core/Interface/ITexture.h"
#include "effects/Core/Interface/Job.h"
#include "effects/Core/Interface/JobDispatcher.h"
#include "effects/Core/Memory/FrameWorkMemory.h"
#include "effects/Core/Memory/UnitInstancePool.h"
#include "effects/render/DrawSortEntry.h"
#include "effects/render/Renderer.h"

#include <cmath>
#include <cstring>
#include <new>

namespace FulgorCore::Engine {

namespace {

constexpr uint32_t kMinimumUnitMemory = 256 * 1024;
constexpr uint32_t kMinimumBufferMemory = 1024;
constexpr float kPi = 3.1415927f;
constexpr float kTwoPi = 6.2831855f;

const char kFailedWorkData[] = "Failed to allocate WorkData.\n";

// The checks of the start-up record in their fixed order: the first that
// fails is reported.
const char* FirstFailedCheck(const InitializeParameter& p) {
    const EngineInitializeParameter& e = p.EngineInitializeParameter;
    if (!e.pAllocator_Alloc)
        return "EngineInitializeParameter::pAllocator_Alloc is null.\n";
    if (!e.pAllocator_Free)
        return "EngineInitializeParameter::pAllocator_Free is null.\n";
    if (!p.pLightListenner)
        return "InitializeParameter::pLightListenner is null.\n";
    if (p.ObjectMaxCount == 0)
        return "InitializeParameter::ObjectMaxCount is 0.\n";
    if (p.InstanceMaxCount == 0)
        return "InitializeParameter::InstanceMaxCount is 0.\n";
    if (!p.CacheBufferMemory)
        return "InitializeParameter::CacheBufferMemory is null.\n";
    if (p.CacheBufferMemorySize < kMinimumBufferMemory)
        return "InitializeParameter::CacheBufferMemory is less than 1024 bytes.\n";
    if (!p.UnitInstanceMemory)
        return "InitializeParameter::UnitInstanceMemory is null.\n";
    if (p.UnitInstanceMemorySize < kMinimumUnitMemory)
        return "InitializeParameter::UnitInstanceMemory is less than 256 * 1024 bytes.\n";
    if (!p.RenderCommandBufferMemory)
        return "InitializeParameter::RenderCommandBufferMemory is null.\n";
    if (p.RenderCommandBufferMemorySize < kMinimumBufferMemory)
        return "InitializeParameter::RenderCommandBufferMemory is less than 1024 bytes.\n";
    if (!p.pDevice)
        return "InitializeParameter::pDevice is null.\n";
    return nullptr;
}

// count records of T, or null when the product leaves 32 bits or the host's
// allocator has nothing.
template <class T>
T* AllocateTable(const RuntimeGlobals& g, uint32_t count, const char* label,
                 const char* file = __builtin_FILE(), uint32_t line = __builtin_LINE()) {
    const uint64_t bytes = uint64_t{count} * sizeof(T);
    if (bytes > UINT32_MAX)
        return nullptr;
    return static_cast<T*>(g.Allocate(static_cast<uint32_t>(bytes), label, file, line));
}

// Records 0..count-1 with their index words, chained into the free list in
// index order.
template <class Slot> void ChainFreeList(EngineWorkData::SlotTable<Slot>& table, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i) {
        Slot* slot = new (&table.base[i]) Slot{};
        slot->index = i;
        slot->next = i + 1 < count ? &table.base[i + 1] : nullptr;
    }
    table.freeHead = table.base;
    table.activeHead = table.activeTail = nullptr;
}

void RunJobAtOnce(Job* job) {
    job->Execute();
}

void SubmitToDispatcher(Job* job) {
    const EngineWorkData* work = RuntimeGlobals::Get().engine;
    work->parameter.pJobDispatcher->Submit(job);
}

bool BuildCircleTables(const RuntimeGlobals& g, EngineWorkData& work) {
    for (uint32_t k = 0; k < EngineWorkData::kCircleTableCount; ++k) {
        const uint32_t points = k + 4;
        float* table = static_cast<float*>(g.Allocate(points * 8, "CirclePointTable"));
        if (!table)
            return false;
        work.circleTables[k] = table;
        const float segments = static_cast<float>(k + 3);
        for (uint32_t i = 0; i < points; ++i) {
            float angle = kTwoPi * static_cast<float>(i) / segments;
            if (angle > kPi)
                angle -= kTwoPi;
            table[i * 2] = std::cos(angle);
            table[i * 2 + 1] = std::sin(angle);
        }
    }
    return true;
}

// Frees every table the work data holds and lets go of the interfaces it
// keeps; safe on a block whose set-up stopped half-way.
void ReleaseWorkData(RuntimeGlobals& g) {
    EngineWorkData* work = g.engine;
    if (!work)
        return;
    for (EngineWorkData::InstanceList& layer : work->layers) {
        g.Free(layer.instances);
        layer.instances = nullptr;
    }
    g.Free(work->projectionList.instances);
    work->projectionList.instances = nullptr;
    g.Free(work->sortList.entries);
    work->sortList.entries = nullptr;
    g.Free(work->instances.base);
    work->instances.base = nullptr;
    g.Free(work->objects.base);
    work->objects.base = nullptr;
    for (float*& table : work->circleTables) {
        g.Free(table);
        table = nullptr;
    }
    for (ITexture*& texture : work->defaultTextures) {
        if (texture)
            texture->Release();
        texture = nullptr;
    }
    if (work->lightListenner)
        work->lightListenner->Release();
    work->lightListenner = nullptr;
    work->~EngineWorkData();
    g.Free(work);
    g.engine = nullptr;
}

bool InitializeWorkData(RuntimeGlobals& g, const InitializeParameter& p) {
    void* block = g.Allocate(sizeof(EngineWorkData), "Engine.WorkData");
    if (!block) {
        g.Log(kFailedWorkData);
        return false;
    }
    std::memset(block, 0, sizeof(EngineWorkData));
    EngineWorkData* work = new (block) EngineWorkData();
    g.engine = work;
    for (uint8_t& enabled : work->layerEnabled)
        enabled = 1;
    work->parameter = p;
    work->random.Seed(p.RandomSeed ? p.RandomSeed : EngineWorkData::kDefaultSeed);
    work->lightQueryInterval[0] = work->lightQueryInterval[1] = 1;
    for (uint32_t i = 0; i < 8; ++i)
        if (p.InstanceFlagDefaults[i] == 0)
            work->defaultInstanceFlags |= static_cast<uint16_t>(1u << i);
    work->noise.Initialize(EngineWorkData::kNoiseSeed);

    // Any table that cannot be had releases what was taken and fails the
    // start-up with the work data's message.
    bool ok = BuildCircleTables(g, *work);
    if (ok) {
        work->objects.base = AllocateTable<ObjectSlot>(g, p.ObjectMaxCount, "ObjectMemory");
        ok = work->objects.base != nullptr;
    }
    if (ok) {
        ChainFreeList(work->objects, p.ObjectMaxCount);
        work->instances.base = AllocateTable<InstanceSlot>(g, p.InstanceMaxCount, "InstanceMemory");
        ok = work->instances.base != nullptr;
    }
    if (ok)
        ChainFreeList(work->instances, p.InstanceMaxCount);
    for (EngineWorkData::InstanceList& layer : work->layers) {
        if (!ok)
            break;
        layer.instances = AllocateTable<InstanceSlot*>(g, p.InstanceMaxCount, "DrawLayerParameter");
        ok = layer.instances != nullptr;
    }
    if (ok) {
        work->projectionList.instances =
            AllocateTable<InstanceSlot*>(g, p.InstanceMaxCount, "DrawLayerParameter");
        ok = work->projectionList.instances != nullptr;
    }
    if (ok) {
        work->sortList.entries =
            AllocateTable<DrawSortEntry>(g, p.InstanceMaxCount, "DrawLayerParameter");
        ok = work->sortList.entries != nullptr;
    }
    if (!ok) {
        g.Log(kFailedWorkData);
        ReleaseWorkData(g);
        return false;
    }

    for (uint32_t kind = 0; kind < 2; ++kind) {
        ITexture* texture = p.pDevice->GetBuiltinTexture(kind);
        if (texture)
            texture->AddRef();
        work->defaultTextures[kind] = texture;
    }
    work->lightListenner = p.pLightListenner;
    work->lightListenner->AddRef();
    work->submitJob = p.pJobDispatcher ? SubmitToDispatcher : RunJobAtOnce;
    return true;
}

// The per-frame memory and the unit pool answer nothing while the runtime
// is not started: they let go of the host's buffers with the rest.
void ReleaseMemories(RuntimeGlobals& g) {
    g.frameMemory.Setup(nullptr, 0);
    g.unitPool.Setup(nullptr, 0);
}

// What the two getters hand out while the runtime is not started: a pool
// and a frame memory over no buffer.
constinit FrameWorkMemory g_noFrameMemory;
constinit UnitInstancePool g_noUnitPool;

// Lets go of everything a start-up built, complete or not. Instances go
// first, then every effect with its listener's calls, while the runtime
// still counts as started so that the packages' releases of the effects
// they refer to reach them.
void ReleaseAll(RuntimeGlobals& g) {
    if (g.started && g.engine) {
        FreeAllInstances(*g.engine);
        ReleaseAllObjects(*g.engine);
    }
    g.started = false;
    g.jobDispatcher = nullptr;
    ReleaseWorkData(g);
    Renderer::Finalize();
    ReleaseMemories(g);
}

} // namespace

bool Initialize(const InitializeParameter* parameter) {
    RuntimeGlobals& g = RuntimeGlobals::Get();
    if (g.started)
        return false;
    // A failed start-up may have left blocks behind; they go back to the
    // allocator that gave them before the new callbacks replace it.
    ReleaseAll(g);
    if (!parameter)
        return false;
    const InitializeParameter& p = *parameter;
    g.callbacks = p.EngineInitializeParameter;
    if (const char* message = FirstFailedCheck(p)) {
        g.Log(message);
        return false;
    }
    g.frameMemory.Setup(p.CacheBufferMemory, p.CacheBufferMemorySize);
    g.unitPool.Setup(p.UnitInstanceMemory, p.UnitInstanceMemorySize);
    if (!Renderer::Initialize(p) || !InitializeWorkData(g, p)) {
        ReleaseMemories(g);
        return false;
    }
    g.started = true;
    g.jobDispatcher = p.pJobDispatcher;
    return true;
}

void Finalize() {
    ReleaseAll(RuntimeGlobals::Get());
}

bool IsStarted() {
    return RuntimeGlobals::Get().started;
}

EngineWorkData* GetWorkData() {
    const RuntimeGlobals& g = RuntimeGlobals::Get();
    return g.started ? g.engine : nullptr;
}

const float* GetCirclePointTable(uint32_t k) {
    const EngineWorkData* work = GetWorkData();
    return work && k < EngineWorkData::kCircleTableCount ? work->circleTables[k] : nullptr;
}

FrameWorkMemory& GetFrameWorkMemory() {
    RuntimeGlobals& g = RuntimeGlobals::Get();
    return g.started ? g.frameMemory : g_noFrameMemory;
}

UnitInstancePool& GetUnitInstancePool() {
    RuntimeGlobals& g = RuntimeGlobals::Get();
    return g.started ? g.unitPool : g_noUnitPool;
}

} // namespace FulgorCore::Engine
