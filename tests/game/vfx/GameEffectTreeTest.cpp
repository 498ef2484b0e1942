// The unit trees of the title and menu effects the build leaves in the
// archives: 600 frames with their triggers, the pool back at its start when
// they are released, the game's random streams untouched, and the same
// pool use frame by frame in two runs.
#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Memory/UnitInstancePool.h"
#include "engine/resource/ChildResourceLoader.h"
#include "engine/resource/ResourceLoader.h"
#include "game/core/FileLoader.h"
#include "game/core/RandomManager.h"
#include "support/RandomStreamsCheck.h"
#include "support/effects/RuntimeFrame.h"
#include "support/effects/RuntimeStartup.h"
#include "sys/file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using FulgorCore::InstanceHandle;
using FulgorCore::ObjectHandle;
using Mireku::Resource::ChildResourceLoader;
using Mireku::Resource::ResourceLoader;
namespace Engine = FulgorCore::Engine;

class GameEffectTree : public testing::Test {
protected:
    void SetUp() override {
        loader_ = ResourceLoader::CreateInstance();
        ASSERT_TRUE(loader_ && loader_->Initialize({}));
        loader_->SetMode(ResourceLoader::kArchives);
        loader_->OpenArchive((sys::ExecutableFolder() + "data/vfx").c_str());
        files_ = FileLoader::CreateInstance();
        files_->SetSynchronous(true);
        random_ = RandomManager::CreateInstance();
        random_->SeedFixed();
        for (const char* folder : {"title", "game_menu"}) {
            folder_ = folder;
            files_->Load(Mireku::Resource::LoadStep(this, &GameEffectTree::ReadStep));
        }
        ASSERT_EQ(images_.size(), 2u);
    }
    void TearDown() override {
        RandomManager::DestroyInstance();
        FileLoader::DestroyInstance();
        ResourceLoader::DestroyInstance();
    }

    void ReadStep(ChildResourceLoader& loader, const void*) {
        const std::string file = folder_ == "title" ? "title_main.vfxb" : "game_menu.vfxb";
        ASSERT_TRUE(loader.Read(folder_.c_str(), file.c_str())) << file;
        const auto* bytes = static_cast<const uint8_t*>(loader.GetData());
        images_.emplace_back(bytes, bytes + loader.GetSize());
    }

    // On a runtime of the game's sizes: the title and the menu played for
    // 600 frames, the title's bit 1 raised every 100 frames and the menu's
    // highlight and decision bits one every 20; the pool's used count after
    // each frame, then after the release (last entry).
    std::vector<uint32_t> Run() {
        testsupport::FakeInstanceListenner listener;
        testsupport::RuntimeStartup runtime;
        runtime.units.assign(4096 * 1024, 0);
        runtime.parameter.UnitInstanceMemory = runtime.units.data();
        runtime.parameter.UnitInstanceMemorySize = 4096 * 1024;
        runtime.parameter.ObjectMaxCount = 100;
        runtime.parameter.InstanceMaxCount = 1000;
        std::vector<uint32_t> used;
        if (!runtime.Start())
            return used;
        std::vector<ObjectHandle> effects;
        std::vector<InstanceHandle> played;
        for (const std::vector<uint8_t>& image : images_) {
            effects.push_back(testsupport::LoadEffect(image));
            played.push_back(
                Engine::CreateInstance(effects.back().index, effects.back().serial, &listener));
            Engine::PlayInstance(played.back().index, played.back().serial, 1.0f, 0);
        }
        const InstanceHandle title = played[0];
        const InstanceHandle menu = played[1];
        for (int frame = 1; frame <= 600; ++frame) {
            if (frame % 100 == 0)
                Engine::SetInstanceFlagBit(title.index, title.serial, 1);
            if (frame % 20 == 0)
                Engine::SetInstanceFlagBit(menu.index, menu.serial,
                                           static_cast<uint32_t>(frame / 20 % 14));
            testsupport::Frame();
            Engine::ResetDrawState();
            Engine::DrawLayer(0);
            used.push_back(Engine::GetUnitInstancePool().GetUsedCount());
        }
        EXPECT_TRUE(Engine::IsInstancePlaying(title.index, title.serial));
        EXPECT_TRUE(Engine::IsInstancePlaying(menu.index, menu.serial));
        for (InstanceHandle h : played)
            Engine::KillInstance(h.index, h.serial);
        testsupport::Frame();
        for (ObjectHandle h : effects)
            Engine::ReleaseResource(h.index, h.serial);
        used.push_back(Engine::GetUnitInstancePool().GetUsedCount());
        return used;
    }

    ResourceLoader* loader_ = nullptr;
    FileLoader* files_ = nullptr;
    RandomManager* random_ = nullptr;
    std::string folder_;
    std::vector<std::vector<uint8_t>> images_;
};

TEST_F(GameEffectTree, TitleAndMenuPlayTheirTriggersAndGiveEveryBlockBack) {
    const testsupport::RandomStreamsCheck streams(*random_);
    const std::vector<uint32_t> first = Run();
    ASSERT_EQ(first.size(), 601u);
    // Both roots and their draw lists, and the menu's triggered timelines
    // come and go.
    uint32_t most = 0;
    for (size_t i = 0; i < 600; ++i)
        most = first[i] > most ? first[i] : most;
    EXPECT_GE(first[0], 4u);
    EXPECT_GT(most, first[0]);
    EXPECT_EQ(first.back(), 0u);
    streams.ExpectUnchanged();
    const std::vector<uint32_t> second = Run();
    EXPECT_EQ(second, first);
}

} // namespace
