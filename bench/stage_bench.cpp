// One frame of a busy stage on the null graphics backend: 200 ordinary
// enemies, 300 player-shot and 2000 enemy-shot stand-ins and 4000 effect
// objects under a director in play, ticked (the collision pass), updated,
// drawn with the heads-up display and flushed into the frame's command
// block. Also counts the engine-heap calls (allocations and frees, seen as
// takes of the heap's lock) and malloc-family calls of a steady frame: the
// goal is none of either.
#include "bench/BenchStage.h"
#include "engine/common/Heap.h"
#include "game/core/GameObjectAllocator.h"
#include "game/core/SpriteManager.h"
#include "game/core/SpriteQuad.h"
#include "game/enemy/EnemyDefault.h"
#include "game/player/PlayerShotBase.h"
#include "game/stage/GameObjectDirector.h"
#include "sys/thread.h"

#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <pthread.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

// --- Counting the calls that reach an allocator. ---

extern "C" {
void* __libc_malloc(size_t);
void __libc_free(void*);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);
}

namespace {

std::atomic<bool> g_counting{false};
std::atomic<uint64_t> g_mallocCalls{0};
std::atomic<uint64_t> g_heapCalls{0};
pthread_mutex_t* g_heapLock = nullptr;

void CountMalloc() {
    if (g_counting.load(std::memory_order_relaxed))
        g_mallocCalls.fetch_add(1, std::memory_order_relaxed);
}

} // namespace

extern "C" {
void* malloc(size_t n) {
    CountMalloc();
    return __libc_malloc(n);
}
void free(void* p) {
    if (p)
        CountMalloc();
    __libc_free(p);
}
void* calloc(size_t n, size_t s) {
    CountMalloc();
    return __libc_calloc(n, s);
}
void* realloc(void* p, size_t n) {
    CountMalloc();
    return __libc_realloc(p, n);
}
void* aligned_alloc(size_t a, size_t n) {
    CountMalloc();
    return __libc_memalign(a, n);
}
int posix_memalign(void** out, size_t a, size_t n) {
    CountMalloc();
    *out = __libc_memalign(a, n);
    return *out ? 0 : 12;
}
// Every engine-heap call takes the heap's one lock.
int pthread_mutex_lock(pthread_mutex_t* m) {
    using Lock = int (*)(pthread_mutex_t*);
    static Lock real = reinterpret_cast<Lock>(dlsym(RTLD_NEXT, "pthread_mutex_lock"));
    if (m == g_heapLock && g_counting.load(std::memory_order_relaxed))
        g_heapCalls.fetch_add(1, std::memory_order_relaxed);
    return real(m);
}
}

namespace {

using Mireku::Common::Vector2;

// A sprite of the null texture on `layer`, 16 by 16 at the object.
void Dot(SpriteLayer layer, const Vector2& at) {
    SpriteQuad::Place(SpriteManager::GetInstance()->GetLayer(layer), nullptr, SpriteQuad::kAlpha, 0,
                      0, 1, 1, at.x + 352.0f, at.y - 8.0f, 16.0f, 16.0f);
}

// Moves down the field and wraps: always there, never vanishing.
class Drifter : public GameObject {
public:
    Drifter(GameObjectDirector* owner, Vector2 at, float speed) : GameObject(owner), speed_(speed) {
        SetPosition(at.x, at.y);
        SetHitShapeActive(true);
    }
    void Update() override {
        float y = position_.y + speed_;
        y = y > 720.0f ? y - 720.0f : (y < 0.0f ? y + 720.0f : y);
        SetPosition(position_.x, y);
    }

private:
    float speed_;
};

class ShotStandIn : public PlayerShotBase {
public:
    ShotStandIn(GameObjectDirector* owner, Vector2 at) : PlayerShotBase(owner) {
        SetPosition(at.x, at.y);
        SetHitShapeActive(true);
    }
    void Update() override {
        const float y = position_.y - 12.0f;
        SetPosition(position_.x, y < 0.0f ? y + 720.0f : y);
        SetHitBox(0, 0, 30, 30);
        GetOwner()->RegisterCollision(GetCollisionGroup(), this);
    }
    void Draw() override { Dot(SpriteLayer::kPlayerShotBlend, position_); }
    uint32_t GetCollisionGroup() const override { return 3; }
    // Hurts nobody, so the stage stays as it is from frame to frame.
    int16_t GetAttackPower() const override { return 0; }
    uint32_t GetWeaponFamily() const override { return kFamilyShot; }
};

class EnemyShotStandIn : public Drifter {
public:
    EnemyShotStandIn(GameObjectDirector* owner, Vector2 at) : Drifter(owner, at, 3.0f) {}
    void Update() override {
        Drifter::Update();
        SetHitBox(0, 0, 8, 8);
        GetOwner()->RegisterCollision(GetCollisionGroup(), this);
    }
    void Draw() override { Dot(SpriteLayer::kEnemyShotAdd, position_); }
    uint32_t GetKind() const override { return kKindEnemyShot; }
    uint32_t GetCollisionGroup() const override { return 7; }
};

class EffectStandIn : public Drifter {
public:
    EffectStandIn(GameObjectDirector* owner, Vector2 at) : Drifter(owner, at, 1.0f) {}
    void Draw() override { Dot(SpriteLayer::kEnemyBombParts, position_); }
};

class Stage {
public:
    Stage() {
        g_heapLock = reinterpret_cast<pthread_mutex_t*>(&Mireku::Common::Heap::Lock());
        rig_.work->mode = 3; // no timeline: the stage holds what is put in it
        rig_.work->stage = 0;
        GameObjectDirector* director = rig_.Play();
        rig_.work->mode = 1; // the enemies' rows
        for (int i = 0; i < 200; ++i)
            GameObject::Create<EnemyDefault>(director, director, 1 + i % 7,
                                             Vector2{-300.0f + 3.0f * i, 40.0f + (i % 20) * 12.0f});
        for (int i = 0; i < 300; ++i)
            GameObject::Create<ShotStandIn>(director, director,
                                            Vector2{-300.0f + 2.0f * i, 2.4f * i});
        for (int i = 0; i < 2000; ++i)
            GameObject::Create<EnemyShotStandIn>(director, director,
                                                 Vector2{-350.0f + 0.35f * i, 0.36f * i});
        for (int i = 0; i < 4000; ++i)
            GameObject::Create<EffectStandIn>(director, director,
                                              Vector2{-350.0f + 0.175f * i, 0.18f * i});
    }

    void Frame() { rig_.Frame(); }
    uint32_t Objects() const { return GameObjectAllocator::GetInstance()->LiveCount(); }

private:
    bench::StageRig rig_;
};

void BM_StageFrame(benchmark::State& state) {
    Stage stage;
    for (int i = 0; i < 30; ++i) // past every first-frame allocation
        stage.Frame();
    for (auto _ : state)
        stage.Frame();

    constexpr int kCounted = 100;
    g_mallocCalls = 0;
    g_heapCalls = 0;
    g_counting = true;
    for (int i = 0; i < kCounted; ++i)
        stage.Frame();
    g_counting = false;
    state.counters["objects"] = stage.Objects();
    state.counters["heap_calls_per_frame"] = static_cast<double>(g_heapCalls) / kCounted;
    state.counters["malloc_calls_per_frame"] = static_cast<double>(g_mallocCalls) / kCounted;
}
BENCHMARK(BM_StageFrame)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
