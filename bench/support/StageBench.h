// What the stage benchmarks share: counting the calls that reach an
// allocator (the global malloc family, and the engine heap through takes of
// its one lock), and a stage on the null graphics backend over the sample
// tables with a director in play, whose frame runs as the game runs it.
// Include it in one file of a benchmark program only: it replaces malloc.
#pragma once

#include "engine/common/Heap.h"
#include "engine/graphics/ContextBuffer.h"
#include "engine/graphics/DrawContext.h"
#include "engine/graphics/GraphicsDevice.h"
#include "engine/graphics/ResourceCreation.h"
#include "game/core/GameObjectAllocator.h"
#include "game/core/GlobalWork.h"
#include "game/core/RandomManager.h"
#include "game/core/SpriteManager.h"
#include "game/core/tables/TimelineEntry.h"
#include "game/stage/GameObjectDirector.h"
#include "game/stage/StageMap.h"
#include "game/stage/StageResources.h"
#include "tools/sampledata/GameTableData.h"
#include "tools/sampledata/StageData.h"

#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <pthread.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

// --- Counting the calls that reach an allocator. ---

extern "C" {
void* __libc_malloc(size_t);
void __libc_free(void*);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);
}

namespace stage_bench {

inline std::atomic<bool> g_counting{false};
inline std::atomic<uint64_t> g_mallocCalls{0};
inline std::atomic<uint64_t> g_heapCalls{0};
inline pthread_mutex_t* g_heapLock = nullptr;

inline void CountMalloc() {
    if (g_counting.load(std::memory_order_relaxed))
        g_mallocCalls.fetch_add(1, std::memory_order_relaxed);
}

} // namespace stage_bench

extern "C" {
void* malloc(size_t n) {
    stage_bench::CountMalloc();
    return __libc_malloc(n);
}
void free(void* p) {
    if (p)
        stage_bench::CountMalloc();
    __libc_free(p);
}
void* calloc(size_t n, size_t s) {
    stage_bench::CountMalloc();
    return __libc_calloc(n, s);
}
void* realloc(void* p, size_t n) {
    stage_bench::CountMalloc();
    return __libc_realloc(p, n);
}
void* aligned_alloc(size_t a, size_t n) {
    stage_bench::CountMalloc();
    return __libc_memalign(a, n);
}
int posix_memalign(void** out, size_t a, size_t n) {
    stage_bench::CountMalloc();
    *out = __libc_memalign(a, n);
    return *out ? 0 : 12;
}
// Every engine-heap call takes the heap's one lock.
int pthread_mutex_lock(pthread_mutex_t* m) {
    using Lock = int (*)(pthread_mutex_t*);
    static Lock real = reinterpret_cast<Lock>(dlsym(RTLD_NEXT, "pthread_mutex_lock"));
    if (m == stage_bench::g_heapLock && stage_bench::g_counting.load(std::memory_order_relaxed))
        stage_bench::g_heapCalls.fetch_add(1, std::memory_order_relaxed);
    return real(m);
}
}

namespace stage_bench {

using MemoryTables = SampleData::MemoryTables;

// An enemy with a square box of `size` that takes every hit and never dies.
class Wall : public GameObject {
public:
    Wall(GameObjectDirector* owner, Mireku::Common::Vector2 at, int16_t size)
        : GameObject(owner), size_(size) {
        SetPosition(at.x, at.y);
        SetHitShapeActive(true);
    }
    void Update() override {
        SetHitBox(0, 0, size_, size_);
        GetOwner()->RegisterCollision(GetCollisionGroup(), this);
    }
    uint32_t GetKind() const override { return kKindEnemy; }
    uint32_t GetCollisionGroup() const override { return 6; }

private:
    int16_t size_;
};

// The engine and game singletons a stage needs, on the null backend, and a
// director of mode 3 (no timeline: the stage holds what is put in it),
// stage 0, updated until it plays. `tables` may change the sample tables
// before they load, `prepare` the game state before the director is made;
// `fieldMap` gives a stage without files a field-wide map.
class Stage {
public:
    explicit Stage(const std::function<void(MemoryTables&)>& tables = {},
                   const std::function<void(GlobalWork&)>& prepare = {}, bool fieldMap = false) {
        using namespace Mireku::Graphics;
        Mireku::Common::Heap::LockedInitialize();
        g_heapLock = reinterpret_cast<pthread_mutex_t*>(&Mireku::Common::Heap::Lock());
        GraphicsDevice::SetBackend(sys::gpu::Backend::Null);
        device_ = GraphicsDevice::CreateInstance();
        device_->Initialize(nullptr, 1280, 720, {});
        device_->InitializeRenderThread();
        ContextBuffer::CreateInstance()->Initialize(8u << 20);
        DrawContext::ResetAll();
        ClaimDrawContext();
        SpriteManager* sprites = SpriteManager::CreateInstance();
        sprites->Initialize();
        sprites->CreateLayers();
        GameObjectAllocator::CreateInstance()->Initialize();
        RandomManager::CreateInstance();
        // A scratch documents folder: the game state makes its save folder there.
        char pattern[] = "/tmp/drevanth-bench-XXXXXX";
        const char* documents = mkdtemp(pattern);
        documents_ = documents ? documents : "";
        GlobalWork* gw = GlobalWork::CreateInstance(documents_.c_str());
        gw->savesEnabled = false;
        if (tables)
            tables(tables_);
        gw->Initialize(tables_);
        gw->mode = 3;
        gw->stage = 0;
        if (prepare)
            prepare(*gw);
        director_ = new GameObjectDirector();
        if (fieldMap)
            GiveFieldMap(*director_->GetResources());
        for (int i = 0; i < 4 && director_->GetState() != GameObjectDirector::kPlay; ++i)
            director_->UpdateTree();
    }
    ~Stage() {
        delete director_;
        GlobalWork::GetInstance()->Finalize();
        GlobalWork::DestroyInstance();
        RandomManager::DestroyInstance();
        GameObjectAllocator::GetInstance()->Destroy();
        GameObjectAllocator::DestroyInstance();
        SpriteManager::GetInstance()->Finalize();
        SpriteManager::DestroyInstance();
        Mireku::Graphics::ReleaseDrawContext();
        Mireku::Graphics::ContextBuffer::GetInstance()->Finalize();
        Mireku::Graphics::ContextBuffer::DestroyInstance();
        device_->FinalizeRenderThread();
        device_->Finalize();
        Mireku::Graphics::GraphicsDevice::DestroyInstance();
        if (!documents_.empty())
            std::filesystem::remove_all(documents_);
    }
    Stage(const Stage&) = delete;
    Stage& operator=(const Stage&) = delete;

    // An object map as wide as the field, one row high and empty, read by
    // the director's next update as a stage's own: the director's half map
    // width, which bullets leave the field by, is the field's. For a stage
    // without files (no loader).
    static void GiveFieldMap(StageResources& resources) {
        constexpr uint32_t kColumns = 45; // 720 pixels
        StageMapHeader header{};
        header.width = kColumns;
        header.height = 1;
        header.cellWidth = header.cellHeight = 16;
        header.bits = 8;
        resources.mapSize = sizeof header + kColumns;
        resources.map = static_cast<uint8_t*>(Mireku::Common::Heap::LockedAlloc(resources.mapSize));
        std::memset(resources.map, 0, resources.mapSize);
        std::memcpy(resources.map, &header, sizeof header);
    }

    // One frame as the game runs it, its commands then dropped.
    void Frame() {
        SpriteManager* sprites = SpriteManager::GetInstance();
        sprites->PrepareLayers();
        sprites->RaiseHudLayer();
        director_->TickTree();
        director_->UpdateTree();
        director_->DrawTree();
        sprites->FlushLayers();
        Mireku::Graphics::ContextBuffer::GetInstance()->Reset(0);
        Mireku::Graphics::GetDrawContext()->Clear();
    }
    uint32_t Objects() const { return GameObjectAllocator::GetInstance()->LiveCount(); }
    GameObjectDirector* Director() const { return director_; }

    // A normal game of `mode` without its timeline, for a `prepare`: the
    // stage holds what the benchmark puts in it.
    static void WithoutTimeline(GlobalWork& gw, uint32_t mode) {
        gw.mode = mode;
        TableBlob& timeline = gw.tables.timeline[mode * GameTables::kStageCount];
        if (timeline.data)
            reinterpret_cast<TimelineEntry*>(timeline.data)->type = -1;
    }
    // A sheet of one colour, for the director's resources to hold.
    static Mireku::Graphics::Texture* SolidTexture(uint32_t size, SampleData::Rgb colour) {
        const auto dds = SampleData::SolidDds(size, size, colour);
        return Mireku::Graphics::CreateTextureFromMemory(dds.data(),
                                                         static_cast<uint32_t>(dds.size()),
                                                         Mireku::Graphics::kTextureFormatFromFile);
    }
    // Times the frame after a minute of play, then counts the objects and
    // the allocator calls of a steady frame.
    void Measure(benchmark::State& state) {
        for (int i = 0; i < 60; ++i)
            Frame();
        for (auto _ : state)
            Frame();
        double heap = 0, mallocs = 0;
        CountCalls(
            100, [this] { Frame(); }, &heap, &mallocs);
        state.counters["objects"] = Objects();
        state.counters["heap_calls_per_frame"] = heap;
        state.counters["malloc_calls_per_frame"] = mallocs;
    }

    // Heap and malloc calls per frame over `frames` frames.
    template <class F> void CountCalls(int frames, F&& frame, double* heap, double* mallocs) {
        g_mallocCalls = 0;
        g_heapCalls = 0;
        g_counting = true;
        for (int i = 0; i < frames; ++i)
            frame();
        g_counting = false;
        *heap = static_cast<double>(g_heapCalls) / frames;
        *mallocs = static_cast<double>(g_mallocCalls) / frames;
    }

private:
    std::string documents_;
    MemoryTables tables_;
    Mireku::Graphics::GraphicsDevice* device_ = nullptr;
    GameObjectDirector* director_ = nullptr;
};

} // namespace stage_bench
