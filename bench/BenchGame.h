// What the screen benchmarks share: counters of global allocations and of
// blocks in use in the engine heap, and the game's managers with the scene
// driver over a null graphics device, reading the generated archives beside
// the executable or loose files of a folder. Programs that use it link
// AllocationCount.cpp.
#pragma once

#include "bench/AllocationCount.h"
#include "engine/common/Heap.h"
#include "engine/graphics/ContextBuffer.h"
#include "engine/graphics/DrawContext.h"
#include "engine/graphics/GraphicsDevice.h"
#include "engine/renderer/SpriteRenderer.h"
#include "engine/resource/ResourceLoader.h"
#include "engine/resource/ResourceManager.h"
#include "engine/sound/SoundDriver.h"
#include "game/core/FileLoader.h"
#include "game/core/GlobalWork.h"
#include "game/core/InputManager.h"
#include "game/core/RandomManager.h"
#include "game/core/SoundManager.h"
#include "game/core/SpriteManager.h"
#include "game/flow/SceneBase.h"
#include "game/flow/SceneDriver.h"
#include "game/vfx/VfxController.h"
#include "sys/audio.h"
#include "sys/file.h"
#include "sys/thread.h"
#include "tools/sampledata/Staging.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

namespace bench_game {

using namespace Mireku;

// Blocks in use in the engine heap.
inline uint32_t HeapBlocksInUse() {
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
// `looseRoot` reads loose files under that folder instead of the archives;
// `withSound` plays sounds on a null audio device that nothing drains, so a
// started stream plays for as long as the benchmark runs.
class Game {
public:
    explicit Game(const std::string& documents, const std::string& looseRoot = {},
                  bool withSound = false) {
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
        if (looseRoot.empty()) {
            loader->SetMode(Resource::ResourceLoader::kArchives);
            for (const std::string& name : sampledata::Staging::ArchiveNames())
                loader->OpenArchive((sys::ExecutableFolder() + "data/" + name).c_str());
        } else {
            loader->SetMode(Resource::ResourceLoader::kLooseFiles);
            loader->AddRootFolder(looseRoot.c_str());
        }
        FileLoader::CreateInstance()->SetSynchronous(true);
        SpriteManager* sprites = SpriteManager::CreateInstance();
        sprites->Initialize();
        sprites->CreateLayers();
        RandomManager::CreateInstance()->Seed();
        work = GlobalWork::CreateInstance(documents.c_str());
        work->Initialize();
        if (withSound) {
            sys::audio::SelectBackend(sys::audio::Backend::Null);
            Sound::SoundDriver* sound = Sound::SoundDriver::CreateInstance();
            sound->Initialize({});
            sound->SetPluginFolder((sys::ExecutableFolder() + "Plugins/Sound/").c_str());
        }
        SoundManager* sound = SoundManager::CreateInstance();
        sound->SetConfig(work->config);
        sound->Initialize();
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
        if (Sound::SoundDriver* sound = Sound::SoundDriver::GetInstance()) {
            sound->Finalize();
            Sound::SoundDriver::DestroyInstance();
            sys::audio::SelectBackend(sys::audio::Backend::Device);
        }
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

    // One frame as the game runs it, with the input manager's pressed mask
    // as it was left; every layer is flushed and the recorded commands are
    // dropped.
    void Frame() {
        SpriteManager* sprites = SpriteManager::GetInstance();
        sprites->PrepareLayers();
        SoundManager::GetInstance()->Update();
        sprites->RaiseHudLayer();
        Renderer::SpriteRenderer* hud = sprites->GetLayer(SpriteLayer::kHud);
        driver->Update(hud);
        VfxController::GetInstance()->RunFrame();
        sprites->FlushLayers();
        Graphics::ContextBuffer::GetInstance()->Reset(0);
        Graphics::GetDrawContext()->Clear();
    }
    // Frames until the screen of type T is in `state`.
    template <class T> bool ReachState(int32_t state, int most = 200) {
        for (int i = 0; i < most; ++i) {
            for (SceneBase* s = driver->GetFirstActive(); s; s = s->nextInList)
                if (auto* t = dynamic_cast<T*>(s); t && t->GetState() == state) {
                    device_->GetGpu()->ProcessPending();
                    return true;
                }
            for (int32_t slot = 0; slot < static_cast<int32_t>(SoundManager::kStreamSlots); ++slot)
                SoundManager::GetInstance()->WaitStream(slot);
            Frame();
        }
        return false;
    }

    GlobalWork* work = nullptr;
    SceneDriver* driver = nullptr;

private:
    Graphics::GraphicsDevice* device_ = nullptr;
};

// Times the frames; then the counters say whether they allocated. Loads
// started before (music, a first voice) have finished first, so that the
// loader thread frees nothing while the frames run.
inline void Measure(benchmark::State& state, Game& game) {
    for (int32_t slot = 0; slot < static_cast<int32_t>(SoundManager::kStreamSlots); ++slot)
        SoundManager::GetInstance()->WaitStream(slot);
    while (Resource::ResourceLoader::GetInstance()->IsLoading())
        sys::YieldThread();
    game.Frame();
    const uint32_t blocks = HeapBlocksInUse();
    const uint64_t news = bench::AllocationCount();
    for (auto _ : state)
        game.Frame();
    state.counters["global_allocations"] = static_cast<double>(bench::AllocationCount() - news);
    state.counters["heap_blocks_gained"] =
        static_cast<double>(HeapBlocksInUse()) - static_cast<double>(blocks);
}

} // namespace bench_game
