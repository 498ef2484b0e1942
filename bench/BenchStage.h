// What the stage benchmarks share: the game singletons a stage needs over a
// null graphics device whose frames this thread records and throws away, the
// sample-data builder's balance tables served from memory, and a director in
// play for the mode and stage GlobalWork holds.
#pragma once

#include "engine/common/Heap.h"
#include "engine/graphics/ContextBuffer.h"
#include "engine/graphics/DrawContext.h"
#include "engine/graphics/GraphicsDevice.h"
#include "game/core/GameObjectAllocator.h"
#include "game/core/GlobalWork.h"
#include "game/core/RandomManager.h"
#include "game/core/SpriteManager.h"
#include "game/core/tables/GameTables.h"
#include "game/stage/GameObjectDirector.h"
#include "tools/sampledata/GameTableData.h"

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace bench {

class SampleTables : public TableSource {
public:
    SampleTables() {
        for (auto& f : SampleData::BuildGameTables())
            files_[f.name] = std::move(f.bytes);
    }
    bool Read(const char* name, const uint8_t** data, uint32_t* size) override {
        auto it = files_.find(name);
        if (it == files_.end())
            return false;
        *data = it->second.data();
        *size = static_cast<uint32_t>(it->second.size());
        return true;
    }

private:
    std::map<std::string, std::vector<uint8_t>> files_;
};

class StageRig {
public:
    StageRig() {
        using namespace Mireku::Graphics;
        Mireku::Common::Heap::LockedInitialize();
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
        work = GlobalWork::CreateInstance(documents_.c_str());
        work->savesEnabled = false;
        work->Initialize(tables_);
    }
    ~StageRig() {
        delete director;
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
    StageRig(const StageRig&) = delete;
    StageRig& operator=(const StageRig&) = delete;

    // The director of GlobalWork's mode and stage, updated until it plays.
    GameObjectDirector* Play() {
        director = new GameObjectDirector();
        for (int i = 0; i < 4 && director->GetState() != GameObjectDirector::kPlay; ++i)
            director->UpdateTree();
        return director;
    }

    // One frame as the game runs it, its commands then dropped.
    void Frame() {
        SpriteManager* sprites = SpriteManager::GetInstance();
        sprites->PrepareLayers();
        sprites->RaiseHudLayer();
        director->TickTree();
        director->UpdateTree();
        director->DrawTree();
        sprites->FlushLayers();
        Mireku::Graphics::ContextBuffer::GetInstance()->Reset(0);
        Mireku::Graphics::GetDrawContext()->Clear();
    }

    GlobalWork* work = nullptr;
    GameObjectDirector* director = nullptr;

private:
    std::string documents_;
    SampleTables tables_;
    Mireku::Graphics::GraphicsDevice* device_ = nullptr;
};

} // namespace bench
