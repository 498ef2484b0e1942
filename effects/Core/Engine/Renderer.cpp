#include "effects/Core/Engine/Renderer.h"

#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Engine/InitializeParameter.h"
#include "effects/Core/Engine/ProjectionCube.h"
#include "effects/Core/Engine/RendererWorkData.h"
#include "effects/Core/Engine/RuntimeGlobals.h"
#include "effects/Core/Interface/IDevice.h"
#include "effects/Core/Interface/IIndexBuffer.h"
#include "effects/Core/Interface/IVertexBuffer.h"

#include <cstring>
#include <new>
#include <type_traits>

namespace FulgorCore::Renderer {

namespace {

constexpr int32_t kMinimumVertexBuffer = 0x4000;
constexpr int32_t kMinimumVertexTotal = 0x10000;
constexpr int32_t kMinimumIndexBuffer = 0x800;
constexpr int32_t kMinimumIndexTotal = 0x2000;

const char kFailedWorkData[] = "Failed to allocate WorkData.\n";

// Sizes below the floors (compared signed) are raised to them; the pool
// holds ceil(total / size) buffers.
template <class T>
bool SetUpPool(const RuntimeGlobals& g, Buffer<T>& pool, int32_t size, int32_t floor, int32_t total,
               int32_t totalFloor) {
    const uint32_t bufferSize = static_cast<uint32_t>(size < floor ? floor : size);
    const uint32_t totalSize = static_cast<uint32_t>(total < totalFloor ? totalFloor : total);
    const uint32_t count =
        static_cast<uint32_t>((uint64_t{totalSize} + bufferSize - 1) / bufferSize);
    using Entry = typename Buffer<T>::Entry;
    auto* entries =
        static_cast<Entry*>(g.Allocate(static_cast<uint32_t>(count * sizeof(Entry)), "Buffer<T>"));
    if (!entries)
        return false;
    pool.size = bufferSize;
    pool.count = count;
    pool.entries = entries;
    for (uint32_t i = 0; i < count; ++i)
        new (&entries[i]) Entry{};
    IDevice* device = g.renderer->device;
    // A buffer the device cannot make stays null; mapping it fails later
    // and marks the pool exhausted.
    for (uint32_t i = 0; i < count; ++i) {
        if constexpr (std::is_same_v<T, IVertexBuffer>)
            entries[i].buffer = device->CreateVertexBuffer(bufferSize, true, nullptr);
        else
            entries[i].buffer = device->CreateIndexBuffer(bufferSize, true, nullptr);
    }
    return true;
}

template <class T> void ReleasePool(const RuntimeGlobals& g, Buffer<T>& pool) {
    for (uint32_t i = 0; pool.entries && i < pool.count; ++i)
        if (pool.entries[i].buffer)
            pool.entries[i].buffer->Release();
    g.Free(pool.entries);
    pool.entries = nullptr;
    pool.count = 0;
}

void SetIdentity34(float* m) {
    for (int i = 0; i < 12; ++i)
        m[i] = 0.0f;
    m[0] = m[4] = m[8] = 1.0f;
}

RendererWorkData* StartedWorkData() {
    const RuntimeGlobals& g = RuntimeGlobals::Get();
    return g.started ? g.renderer : nullptr;
}

} // namespace

bool Initialize(const InitializeParameter& p) {
    RuntimeGlobals& g = RuntimeGlobals::Get();
    void* block = g.Allocate(sizeof(RendererWorkData), "Renderer.WorkData");
    if (!block) {
        g.Log(kFailedWorkData);
        return false;
    }
    std::memset(block, 0, sizeof(RendererWorkData));
    RendererWorkData* work = new (block) RendererWorkData();
    g.renderer = work;
    work->recordBase = static_cast<uint8_t*>(p.RenderCommandBufferMemory);
    work->recordSize = p.RenderCommandBufferMemorySize;
    work->defaultStateWord = RendererWorkData::kDefaultStateWord;
    for (float* m : work->billboardMatrices)
        SetIdentity34(m);
    work->device = p.pDevice;
    work->device->AddRef();
    work->resetLatchPerRecord = p.RendererFlagA;
    work->plainDepth = p.RendererFlagB;
    work->textureLatch = 0;

    // The original left the pool arrays unchecked.
    if (!SetUpPool(g, work->vertexPool, p.VertexBufferSize, kMinimumVertexBuffer,
                   p.VertexBufferTotalSize, kMinimumVertexTotal) ||
        !SetUpPool(g, work->indexPool, p.IndexBufferSize, kMinimumIndexBuffer,
                   p.IndexBufferTotalSize, kMinimumIndexTotal)) {
        g.Log(kFailedWorkData);
        return false;
    }
    work->projectionVertices = work->device->CreateVertexBuffer(sizeof(ProjectionCube::kVertices),
                                                                false, ProjectionCube::kVertices);
    if (!work->projectionVertices) {
        g.Log("Failed to create VertexBufferProjection.\n");
        return false;
    }
    work->projectionIndices = work->device->CreateIndexBuffer(sizeof(ProjectionCube::kIndices),
                                                              false, ProjectionCube::kIndices);
    if (!work->projectionIndices) {
        g.Log("Failed to create IndexBufferProjection.\n");
        return false;
    }
    return true;
}

void Finalize() {
    RuntimeGlobals& g = RuntimeGlobals::Get();
    RendererWorkData* work = g.renderer;
    if (!work)
        return;
    if (work->projectionIndices)
        work->projectionIndices->Release();
    if (work->projectionVertices)
        work->projectionVertices->Release();
    ReleasePool(g, work->indexPool);
    ReleasePool(g, work->vertexPool);
    if (work->device)
        work->device->Release();
    work->~RendererWorkData();
    g.Free(work);
    g.renderer = nullptr;
}

void ResetDrawState() {
    RendererWorkData* work = StartedWorkData();
    if (!work)
        return;
    work->exhausted = 0;
    work->vertexPool.Rewind();
    work->indexPool.Rewind();
}

void DrawLayer(uint32_t layer, uint32_t flags) {
    // Instances reach the layer lists once effects can play; until then a
    // started runtime has nothing to draw in any layer.
    (void)layer;
    (void)flags;
}

uint32_t GetLayerRecordCount(uint32_t layer) {
    const RuntimeGlobals& g = RuntimeGlobals::Get();
    if (!g.started || layer >= EngineWorkData::kLayerCount)
        return 0;
    return g.engine->layers[layer].count;
}

RendererWorkData* GetWorkData() {
    return StartedWorkData();
}

} // namespace FulgorCore::Renderer
