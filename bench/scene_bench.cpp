// One frame of two sprite-drawn screens on the null graphics backend, over
// the generated data beside the executable: the pilot select on its grid and
// a ranking page with all ten rows filled (some 330 glyph sprites). A frame
// is the screen's update and drawing and the flush of the "HUD" layer. The
// counters say whether a frame allocated: calls of the global allocator,
// and blocks in use in the engine heap before and after the timed frames.
#include "engine/common/Heap.h"
#include "engine/graphics/ContextBuffer.h"
#include "engine/graphics/DrawContext.h"
#include "engine/graphics/GraphicsDevice.h"
#include "engine/renderer/SpriteRenderer.h"
#include "engine/resource/ResourceLoader.h"
#include "engine/resource/ResourceManager.h"
#include "game/core/FileLoader.h"
#include "game/core/GlobalWork.h"
#include "game/core/InputManager.h"
#include "game/core/RandomManager.h"
#include "game/core/ScoreBlock.h"
#include "game/core/SoundManager.h"
#include "game/core/SpriteManager.h"
#include "game/flow/SceneDriver.h"
#include "game/scene/SceneRanking.h"
#include "game/scene/SceneSelectPilot.h"
#include "game/vfx/VfxController.h"
#include "sys/file.h"
#include "sys/thread.h"
#include "tools/sampledata/Staging.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <string>

namespace {

std::atomic<uint64_t> g_news{0};

} // namespace

// Every allocation of the process through the global allocator is counted.
// The replacements pair malloc with free; the compiler, seeing the global
// new inlined, would take them for a mismatched pair.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
    g_news.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    g_news.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

using namespace Mireku;

// Blocks in use in the engine heap.
uint32_t HeapBlocksInUse() {
    sys::Mutex& lock = Common::Heap::Lock();
    lock.Lock();
    uint32_t n = 0;
    const Common::Heap& heap = Common::Heap::Global();
    for (const Common::Heap::BlockHeader* b = heap.FirstBlock(); b; b = heap.NextBlock(b))
        n += !Common::Heap::IsFree(b);
    lock.Unlock();
    return n;
}

// The game's managers as start-up makes them, the scene driver and a null
// graphics device whose frames this thread records and throws away.
class Game {
public:
    explicit Game(const std::string& documents) {
        Graphics::GraphicsDevice::SetBackend(sys::gpu::Backend::Null);
        device_ = Graphics::GraphicsDevice::CreateInstance();
        device_->Initialize(nullptr, 1280, 720, {});
        device_->InitializeRenderThread();
        Graphics::ContextBuffer::CreateInstance()->Initialize(4u << 20);
        Graphics::DrawContext::ResetAll();
        Graphics::ClaimDrawContext();
        Resource::ResourceManager::CreateInstance();
        Resource::ResourceLoader* loader = Resource::ResourceLoader::CreateInstance();
        loader->Initialize({});
        loader->SetMode(Resource::ResourceLoader::kArchives);
        for (const std::string& name : sampledata::Staging::ArchiveNames())
            loader->OpenArchive((sys::ExecutableFolder() + "data/" + name).c_str());
        FileLoader::CreateInstance()->SetSynchronous(true);
        SpriteManager* sprites = SpriteManager::CreateInstance();
        sprites->Initialize();
        sprites->CreateLayers();
        RandomManager::CreateInstance()->Seed();
        work = GlobalWork::CreateInstance(documents.c_str());
        work->Initialize();
        SoundManager::CreateInstance()->Initialize();
        InputManager::CreateInstance();
        VfxController::CreateInstance()->Initialize();
        driver = SceneDriver::CreateInstance();
    }
    ~Game() {
        driver->ClearAll();
        SceneDriver::DestroyInstance();
        VfxController::GetInstance()->Finalize();
        VfxController::DestroyInstance();
        InputManager::DestroyInstance();
        SoundManager::GetInstance()->Finalize();
        SoundManager::DestroyInstance();
        GlobalWork::DestroyInstance();
        RandomManager::DestroyInstance();
        SpriteManager::GetInstance()->Finalize();
        SpriteManager::DestroyInstance();
        FileLoader::DestroyInstance();
        Resource::ResourceLoader::GetInstance()->Finalize();
        Resource::ResourceLoader::DestroyInstance();
        Resource::ResourceManager::GetInstance()->Finalize();
        Resource::ResourceManager::DestroyInstance();
        Graphics::ReleaseDrawContext();
        Graphics::ContextBuffer::GetInstance()->Finalize();
        Graphics::ContextBuffer::DestroyInstance();
        device_->FinalizeRenderThread();
        device_->Finalize();
        Graphics::GraphicsDevice::DestroyInstance();
    }

    // One frame as the game runs it, without input; the recorded commands
    // are dropped.
    void Frame() {
        SpriteManager* sprites = SpriteManager::GetInstance();
        sprites->PrepareLayers();
        sprites->RaiseHudLayer();
        Renderer::SpriteRenderer* hud = sprites->GetLayer(SpriteLayer::kHud);
        driver->Update(hud);
        VfxController::GetInstance()->RunFrame();
        hud->Flush(1280, 720);
        Graphics::ContextBuffer::GetInstance()->Reset(0);
        Graphics::GetDrawContext()->Clear();
    }
    // Frames until the screen of type T is in `state`.
    template <class T> bool ReachState(int32_t state) {
        for (int i = 0; i < 200; ++i) {
            for (SceneBase* s = driver->GetFirstActive(); s; s = s->nextInList)
                if (auto* t = dynamic_cast<T*>(s); t && t->GetState() == state) {
                    device_->GetGpu()->ProcessPending();
                    return true;
                }
            SoundManager::GetInstance()->WaitStream(0);
            Frame();
        }
        return false;
    }

    GlobalWork* work = nullptr;
    SceneDriver* driver = nullptr;

private:
    Graphics::GraphicsDevice* device_ = nullptr;
};

std::string g_documents;

void Measure(benchmark::State& state, Game& game) {
    game.Frame();
    const uint32_t blocks = HeapBlocksInUse();
    const uint64_t news = g_news.load();
    for (auto _ : state)
        game.Frame();
    state.counters["global_allocations"] = static_cast<double>(g_news.load() - news);
    state.counters["heap_blocks_gained"] =
        static_cast<double>(HeapBlocksInUse()) - static_cast<double>(blocks);
}

void BM_PilotSelectFrame(benchmark::State& state) {
    Game game(g_documents);
    game.work->BeginGame(3);
    game.driver->CreateScene<SceneSelectPilot>();
    if (!game.ReachState<SceneSelectPilot>(4)) {
        state.SkipWithError("the pilot select did not open");
        return;
    }
    Measure(state, game);
}
BENCHMARK(BM_PilotSelectFrame)->Unit(benchmark::kMicrosecond);

void BM_RankingPageFrame(benchmark::State& state) {
    Game game(g_documents);
    for (uint32_t i = 0; i < 10; ++i) {
        uint8_t* entry = ScoreBlock::Entry(game.work->score, 0, i);
        const uint64_t score = 9999999999ull - i;
        const uint16_t fields[7] = {2024, 12, 31, 23, 59, 59, static_cast<uint16_t>(i % 6)};
        std::memcpy(entry, &score, 8);
        std::memcpy(entry + 8, fields, sizeof fields);
    }
    game.driver->CreateScene<SceneRanking>();
    if (!game.ReachState<SceneRanking>(4)) {
        state.SkipWithError("the ranking did not open");
        return;
    }
    Measure(state, game);
}
BENCHMARK(BM_RankingPageFrame)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    Mireku::Common::Heap::LockedInitialize();
    // The game state creates its save folder below this one.
    char pattern[] = "/tmp/drevanth-bench-XXXXXX";
    const char* made = mkdtemp(pattern);
    g_documents = made ? made : "/tmp";
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(g_documents, ignored);
    Mireku::Common::Heap::LockedFinalize();
    return 0;
}
