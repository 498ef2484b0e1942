#include "support/SceneTestSupport.h"

#include "engine/graphics/Texture.h"
#include "engine/resource/ChildResourceLoader.h"
#include "game/core/FileLoader.h"
#include "game/flow/LoadingScene.h"
#include "game/flow/SceneDriver.h"
#include "game/flow/TextureFile.h"

#include <atomic>
#include <thread>

namespace {

using Mireku::Graphics::Texture;

// A scene of the loading pattern with two textures, one of them missing,
// and a gate that holds its loader until the test opens it.
class TwoTextureScene : public LoadingScene {
public:
    void Update() override { ++updates; }

    Texture* present = nullptr;
    Texture* missing = nullptr;
    std::atomic<bool> gate{true};
    std::atomic<bool> loaderStarted{false};
    int updates = 0;
    int begins = 0;
    int releases = 0;

protected:
    void OnBegin() override { ++begins; }
    void LoadResources(Mireku::Resource::ChildResourceLoader& loader) override {
        loaderStarted = true;
        while (!gate)
            std::this_thread::yield();
        present = ReadTexture(loader, "texture/scene", "present.dds");
        missing = ReadTexture(loader, "texture/scene", "missing.dds");
    }
    void ReleaseResources() override {
        ++releases;
        ReleaseTexture(present);
        ReleaseTexture(missing);
    }
};

class LoadingSceneTest : public testing_scene::LooseFiles {
protected:
    void SetUp() override {
        LooseFiles::SetUp();
        Write("texture/scene/present.dds", Dds());
        files = FileLoader::CreateInstance();
    }
    void TearDown() override {
        FileLoader::DestroyInstance();
        LooseFiles::TearDown();
    }
    FileLoader* files = nullptr;
};

TEST_F(LoadingSceneTest, SynchronousLoadIsDoneWhenBeginReturns) {
    files->SetSynchronous(true);
    TwoTextureScene scene;
    scene.Begin();
    EXPECT_EQ(scene.begins, 1);
    EXPECT_EQ(scene.GetState(), LoadingScene::kLoaded);
    EXPECT_NE(scene.present, nullptr);
    EXPECT_EQ(scene.missing, nullptr) << "a file that cannot be read leaves its slot null";
    scene.End();
    EXPECT_EQ(scene.releases, 1);
    EXPECT_EQ(scene.present, nullptr);
}

TEST_F(LoadingSceneTest, EndDuringAnAsynchronousLoadWaitsForIt) {
    loader->Initialize({});
    files->SetSynchronous(false);
    TwoTextureScene scene;
    scene.gate = false;
    scene.Begin();
    while (!scene.loaderStarted)
        std::this_thread::yield();
    EXPECT_EQ(scene.GetState(), LoadingScene::kLoading);

    std::atomic<bool> ended{false};
    std::thread ender([&] {
        scene.End();
        ended = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(ended) << "End waits while the loader writes";
    EXPECT_EQ(scene.releases, 0);
    scene.gate = true;
    ender.join();
    EXPECT_EQ(scene.releases, 1);
    EXPECT_EQ(scene.present, nullptr) << "released after the load, not before";
    loader->Finalize();
}

TEST_F(LoadingSceneTest, WithoutFileLoaderOrLoaderTheSceneStillLeavesTheLoadingState) {
    FileLoader::DestroyInstance();
    TwoTextureScene scene;
    scene.Begin();
    EXPECT_EQ(scene.GetState(), LoadingScene::kLoaded) << "the step ran at once";
    EXPECT_NE(scene.present, nullptr);
    scene.End();

    Mireku::Resource::ResourceLoader::DestroyInstance();
    TwoTextureScene unread;
    unread.Begin();
    EXPECT_EQ(unread.GetState(), LoadingScene::kLoaded);
    EXPECT_EQ(unread.present, nullptr);
    unread.End(); // returns: nothing is left to wait for
    files = FileLoader::CreateInstance();
    loader = Mireku::Resource::ResourceLoader::CreateInstance();
}

TEST_F(LoadingSceneTest, EndIsForwardedToTheAttachedScene) {
    files->SetSynchronous(true);
    TwoTextureScene scene;
    TwoTextureScene attached;
    scene.Begin();
    attached.Begin();
    scene.LinkNext(&attached);
    scene.End();
    EXPECT_EQ(attached.releases, 1);
    attached.UnlinkPrev();
}

} // namespace
