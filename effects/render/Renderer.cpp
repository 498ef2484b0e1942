#include "effects/render/Renderer.h"

#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Engine/InitializeParameter.h"
#include "effects/Core/Engine/RuntimeGlobals.h"
#include "effects/Core/Interface/IDevice.h"
#include "effects/Core/Interface/IIndexBuffer.h"
#include "effects/Core/Interface/IVertexBuffer.h"
#include "effects/Core/Math/FloatConversion.h"
#include "effects/Core/Math/Matrix.h"
#include "effects/render/ProjectionCube.h"
#include "effects/render/RendererSteps.h"
#include "effects/render/RendererWorkData.h"
#include "effects/render/StartedRenderer.h"

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

const TextureSlot kNoTextures[RendererWorkData::kBindingSlots] = {};

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

void SetCameraRotation(RendererWorkData& work, const float* view) {
    float* r = work.cameraRotation;
    for (int row = 0; row < 3; ++row)
        for (int c = 0; c < 3; ++c)
            r[row * 3 + c] = view[c * 4 + row];
    r[9] = r[10] = r[11] = 0.0f;
    // Particles of view 0 face the camera through it.
    std::memcpy(work.billboardMatrices[0], r, sizeof(work.billboardMatrices[0]));
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
    work->records.Reset(p.RenderCommandBufferMemory, p.RenderCommandBufferMemorySize);
    work->currentSlots = kNoTextures;
    work->defaultStateWord = RendererWorkData::kDefaultStateWord;
    for (float* m : work->billboardMatrices)
        SetIdentity34(m);
    for (float* m : work->cameraTransforms)
        SetIdentity34(m);
    work->device = p.pDevice;
    work->device->AddRef();
    work->resetLatchPerRecord = p.RendererFlagA;
    work->plainDepth = p.RendererFlagB;
    work->textureLatch = 0;

    // A pool whose entry array cannot be had fails the start-up like the
    // block itself.
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
    RendererWorkData* work = StartedRenderer();
    if (!work)
        return;
    work->exhausted = 0;
    work->vertexPool.Rewind();
    work->indexPool.Rewind();
    work->device->OnFrameReset();
}

void BeginFrame(uint32_t layer) {
    RendererWorkData* work = StartedRenderer();
    if (!work)
        return;
    work->currentLayer = layer;
    // The batch state starts empty: a table adopted in an earlier layer
    // may belong to a unit that has gone since.
    work->currentStateWord = 0;
    work->currentMask = 0;
    work->currentSlots = kNoTextures;
    for (TextureSlot& slot : work->currentBindings)
        slot = TextureSlot{};
    work->records.Empty();
    work->drawRecordCount = 0;
    work->currentRecord = nullptr;
    work->lastCommand = nullptr;
    work->layerOpen = 1;
    void* vertices = work->vertexPool.LockRest(work->device);
    work->SetWritePointers(vertices, work->indexPool.LockRest(work->device));
    // A pool that could not lock its rest moves on to a fresh buffer at
    // the next reservation.
    if (!work->vertexWrite || !work->indexWrite)
        work->exhausted = 0;
}

void CommitDirtyRanges() {
    RendererWorkData* work = StartedRenderer();
    if (!work)
        return;
    work->vertexPool.Commit(work->device);
    work->indexPool.Commit(work->device);
    work->layerOpen = 0;
    work->SetWritePointers(nullptr, nullptr);
}

bool MapNextVertexBuffer() {
    RendererWorkData* work = StartedRenderer();
    if (!work)
        return false;
    work->SetVertexWritePointer(work->vertexPool.LockNext(work->device));
    if (!work->vertexWrite)
        work->exhausted = 1;
    return work->vertexWrite != nullptr;
}

bool MapNextIndexBuffer() {
    RendererWorkData* work = StartedRenderer();
    if (!work)
        return false;
    work->SetIndexWritePointer(work->indexPool.LockNext(work->device));
    if (!work->indexWrite)
        work->exhausted = 1;
    return work->indexWrite != nullptr;
}

void ApplyState(const IShader* shader, const uint32_t* stateWord, const TextureSlot* bindings,
                uint8_t mask) {
    RendererWorkData* work = StartedRenderer();
    if (!work || !stateWord)
        return;
    if (!work->MatchesBatch(shader, *stateWord, bindings, mask))
        AdoptBatchState(*work, shader, *stateWord, bindings, mask);
}

namespace {

// The pending batch flushed under the state it was reserved with, then the
// new state adopted.
[[gnu::noinline]] void FlushAndAdopt(RendererWorkData& work, const IShader* shader,
                                     uint32_t stateWord, const TextureSlot* table, uint8_t mask) {
    FlushBatchesOf(work);
    work.AdoptState(shader, stateWord, table, mask);
}

} // namespace

void AdoptBatchState(RendererWorkData& work, const IShader* shader, uint32_t stateWord,
                     const TextureSlot* bindings, uint8_t mask) {
    // No table binds nothing: each slot reads as empty, in the comparison
    // and in the state kept, so a later table of empty slots matches it.
    const TextureSlot* table = bindings ? bindings : kNoTextures;
    // Between instances the batch was flushed already: adopting alone makes
    // no call.
    if ((work.VertexPending() | work.IndexPending()) != 0)
        return FlushAndAdopt(work, shader, stateWord, table, mask);
    work.AdoptState(shader, stateWord, table, mask);
}

namespace {

// The clip-space z (perspective) or w (orthographic) of a point under the
// view x projection.
float ClipDepthZ(const float* m, const float* p) {
    return p[0] * m[2] + p[1] * m[6] + p[2] * m[10] + m[14];
}
float ClipDepthW(const float* m, const float* p) {
    return p[0] * m[3] + p[1] * m[7] + p[2] * m[11] + m[15];
}
using DepthFunction = float (*)(const float* m, const float* p);
constexpr DepthFunction kDepthFunctions[2] = {ClipDepthZ, ClipDepthW};

} // namespace

float ComputeViewDepth(const float* point) {
    const RendererWorkData* work = GetWorkData();
    if (!work)
        return 0.0f;
    return kDepthFunctions[work->orthographic ? 1 : 0](work->viewProjection, point);
}

void SetViewProjection(const float* view, const float* projection) {
    RendererWorkData* work = StartedRenderer();
    if (!work || !view || !projection)
        return;
    std::memcpy(work->view, view, sizeof(work->view));
    std::memcpy(work->projection, projection, sizeof(work->projection));
    Math::Matrix44Multiply(work->viewProjection, work->view, work->projection);
    Math::Matrix44Inverse(work->inverseViewProjection, work->viewProjection);
    Math::Matrix44Inverse(work->inverseView, work->view);
    work->cameraPosition = &work->inverseView[12];
    // The camera of space 0 as the particles' orientation reads it: its
    // axes and position (the rows of the inverse view); spaces 1 and 2
    // keep the world's axes at the origin.
    for (int row = 0; row < 4; ++row)
        for (int c = 0; c < 3; ++c)
            work->cameraTransforms[0][row * 3 + c] = work->inverseView[row * 4 + c];
    // Orthographic when the last column reads (.., 0, 1) to two decimals.
    const float* vp = work->viewProjection;
    const bool orthographic = Math::TruncateToInt64(vp[11] * 100.0f) == 0 &&
                              Math::TruncateToInt64(vp[15] * 100.0f) == 100;
    work->orthographic = orthographic ? 1u : 0u;
    SetCameraRotation(*work, view);
}

void SetCamera(uint32_t view, const DrawParameter& parameter) {
    RendererWorkData* work = StartedRenderer();
    if (!work)
        return;
    work->viewIndex = view;
    work->drawParameter = parameter;
    float* screen = work->screenMatrix;
    for (int i = 0; i < 16; ++i)
        screen[i] = (i % 5) == 0 ? 1.0f : 0.0f;
    screen[0] = 2.0f / static_cast<float>(parameter.screenSize[0]);
    screen[5] = 2.0f / static_cast<float>(parameter.screenSize[1]);
    const float pw = 1.0f / static_cast<float>(parameter.pixelSize[0]);
    const float ph = 1.0f / static_cast<float>(parameter.pixelSize[1]);
    const float terms[2][4] = {{-pw, ph, 0.0f, 0.0f}, {pw, ph, 0.0f, 0.0f}};
    std::memcpy(work->pixelTerms, terms, sizeof(terms));
    std::memcpy(work->viewConstants[2], terms[0], sizeof(terms[0]));
    SetViewProjection(parameter.viewMatrix, parameter.projectionMatrix);
}

void SetFrameCamera(const float* viewMatrix) {
    RendererWorkData* work = StartedRenderer();
    if (!work)
        return;
    Math::Matrix44Inverse(work->inverseView, work->view);
    work->cameraPosition = &work->inverseView[12];
    if (viewMatrix)
        SetCameraRotation(*work, viewMatrix);
}

uint32_t GetLayerRecordCount(uint32_t layer) {
    const RuntimeGlobals& g = RuntimeGlobals::Get();
    if (!g.started || layer >= EngineWorkData::kLayerCount)
        return 0;
    return g.engine->layers[layer].count;
}

RendererWorkData* GetWorkData() {
    return StartedRenderer();
}

const float* GetViewVector() {
    static constexpr float kZero[4] = {};
    const RendererWorkData* work = StartedRenderer();
    return work && work->viewVector ? work->viewVector : kZero;
}

} // namespace FulgorCore::Renderer
