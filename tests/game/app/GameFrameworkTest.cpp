#include "game/app/GameFramework.h"

#include "engine/framework/GameWindow.h"
#include "engine/graphics/GraphicsDevice.h"
#include "engine/renderer/TextRenderer.h"
#include "engine/resource/ResourceLoader.h"
#include "game/core/ConfigBlock.h"
#include "game/core/FileLoader.h"
#include "game/core/GameObjectAllocator.h"
#include "game/core/GlobalWork.h"
#include "game/core/InputManager.h"
#include "game/core/RandomManager.h"
#include "game/core/SoundManager.h"
#include "game/core/SpriteManager.h"
#include "game/flow/SceneDriver.h"
#include "game/scene/SceneLogo.h"
#include "game/scene/SceneSelectGameMenu.h"
#include "game/scene/SceneTitle.h"
#include "game/scene/ScriptEngine.h"
#include "game/vfx/VfxController.h"
#include "support/InputTestSupport.h"

#include "support/ScratchFolder.h"
#include "support/TeardownLog.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <typeindex>
#include <vector>

namespace {

// The game writes its saves under the documents folder: every test of this
// program gets a home of its own, so no test touches the user's saves.
class ScratchHome : public testing::Environment {
public:
    void SetUp() override {
        folder = std::make_unique<testsupport::ScratchFolder>();
        root = folder->Root();
        setenv("HOME", root.c_str(), 1);
        unsetenv("XDG_CONFIG_HOME");
    }
    void TearDown() override { folder.reset(); }
    std::unique_ptr<testsupport::ScratchFolder> folder;
    std::string root;
};

ScratchHome* const g_home =
    static_cast<ScratchHome*>(testing::AddGlobalTestEnvironment(new ScratchHome));

std::string SaveFolder() {
    return g_home->root + "/Documents/My Games/Drevanth";
}

bool AllGameSingletonsGone() {
    return !FileLoader::GetInstance() && !VfxController::GetInstance() &&
           !SpriteManager::GetInstance() && !GlobalWork::GetInstance() &&
           !RandomManager::GetInstance() && !SoundManager::GetInstance() &&
           !GameObjectAllocator::GetInstance() && !ScriptEngine::GetInstance() &&
           !SceneDriver::GetInstance() && !InputManager::GetInstance();
}

// The game itself, closed after a few frames; it notes what it sees.
class LoopProbe : public GameFramework {
public:
    bool OnInitialize() override {
        EXPECT_TRUE(AllGameSingletonsGone());
        const bool ok = GameFramework::OnInitialize();
        fullscreenAtStart = Mireku::Graphics::GraphicsDevice::GetInstance()->IsFullscreen();
        return ok;
    }
    void OnFrame(const float& frames) override {
        GameFramework::OnFrame(frames);
        if (++count == 1)
            CheckStarted();
        fadeLevels.push_back(SceneDriver::GetInstance()->GetFadeLevel());
        if (count == closeAfter)
            Mireku::Framework::RequestClose();
    }
    void OnFinalize() override {
        GameFramework::OnFinalize();
        goneAfterFinalize = AllGameSingletonsGone();
    }
    void ShowError(const char* text) override { errors.push_back(text); }

    void CheckStarted() {
        using Mireku::Resource::ResourceLoader;
        ResourceLoader* loader = ResourceLoader::GetInstance();
        EXPECT_EQ(loader->GetMode(), ResourceLoader::kArchives);
        EXPECT_TRUE(loader->Exists("font", "script.mfd")) << "the archives are registered";
        ASSERT_NE(FileLoader::GetInstance(), nullptr);
        EXPECT_TRUE(FileLoader::GetInstance()->IsSynchronous());
        ASSERT_NE(VfxController::GetInstance(), nullptr);
        EXPECT_NE(VfxController::GetInstance()->GetDevice(), nullptr) << "the game's device";
        EXPECT_NE(VfxController::GetInstance()->GetLightListenner(), nullptr);
        ASSERT_NE(SpriteManager::GetInstance(), nullptr);
        for (uint32_t i = 0; i < SpriteManager::kLayerCount; ++i)
            EXPECT_NE(SpriteManager::GetInstance()->GetLayerAt(i), nullptr) << i;
        ASSERT_NE(GlobalWork::GetInstance(), nullptr);
        EXPECT_NE(GlobalWork::GetInstance()->tables.SystemRow(1), nullptr);
        EXPECT_NE(RandomManager::GetInstance(), nullptr);
        ASSERT_NE(SoundManager::GetInstance(), nullptr);
        EXPECT_NE(GlobalWork::GetInstance()->voiceHook, nullptr)
            << "extends speak through the sound manager";
        EXPECT_NE(GlobalWork::GetInstance()->soundHook, nullptr);
        ASSERT_NE(GameObjectAllocator::GetInstance(), nullptr);
        EXPECT_EQ(GameObjectAllocator::GetInstance()->BlockCount(),
                  GameObjectAllocator::kBlockCount);
        ASSERT_NE(ScriptEngine::GetInstance(), nullptr);
        ASSERT_NE(ScriptEngine::GetInstance()->GetTextRenderer(), nullptr);
        EXPECT_TRUE(ScriptEngine::GetInstance()->GetTextRenderer()->HasFont())
            << "the story font comes from the generated data";
        EXPECT_EQ(ScriptEngine::GetInstance()->GetLoadState(), ScriptEngine::kNothing);
        ASSERT_NE(SceneDriver::GetInstance(), nullptr);
        SceneBase* first = SceneDriver::GetInstance()->GetFirstActive();
        EXPECT_NE(dynamic_cast<SceneLogo*>(first), nullptr) << "the logo is the first scene";
        EXPECT_EQ(first ? first->nextInList : nullptr, nullptr);
        EXPECT_NE(InputManager::GetInstance(), nullptr);
    }

    size_t closeAfter = 4;
    size_t count = 0;
    bool fullscreenAtStart = false;
    bool goneAfterFinalize = false;
    std::vector<int> fadeLevels;
    std::vector<std::string> errors;
};

TEST(GameFramework, StartsWithItsCommandBufferSizeAndReportsErrorsUnderError) {
    GameFramework* game = GameFramework::CreateInstance();
    ASSERT_NE(game, nullptr);
    EXPECT_EQ(GameFramework::GetInstance(), game);
    ASSERT_TRUE(game->Initialize());
    EXPECT_EQ(*game->GetCommandBufferSize(), 0x200000u);
    EXPECT_EQ(Mireku::Framework::GameWindow::GetInstance()->GetState(),
              Mireku::Framework::GameWindow::kOpen);

    // Headless, the message box becomes a line on stderr and never blocks.
    testing::internal::CaptureStderr();
    game->ShowError("Direct3Dデバイスの生成に失敗しました");
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "Error: Direct3Dデバイスの生成に失敗しました\n");

    game->Finalize();
    GameFramework::DestroyInstance();
    EXPECT_EQ(GameFramework::GetInstance(), nullptr);
    EXPECT_EQ(Mireku::Framework::GameWindow::GetInstance(), nullptr);
}

TEST(GameFramework, RunsOnTheGeneratedDataAndTearsEverythingDown) {
    std::filesystem::remove_all(SaveFolder());
    LoopProbe* game = new LoopProbe;
    ASSERT_NE(game, nullptr);
    testsupport::TeardownLog teardown;
    EXPECT_TRUE(game->Run());
    // The game's singletons go first, in this order; the sound manager reads
    // the configuration held by GlobalWork and must not outlive it.
    const std::vector<std::type_index> order = {typeid(SceneDriver),
                                                typeid(GameObjectAllocator),
                                                typeid(ScriptEngine),
                                                typeid(SoundManager),
                                                typeid(InputManager),
                                                typeid(RandomManager),
                                                typeid(GlobalWork),
                                                typeid(SpriteManager),
                                                typeid(VfxController),
                                                typeid(FileLoader),
                                                typeid(Mireku::Resource::ResourceLoader)};
    EXPECT_EQ(teardown.Order(order), order);
    EXPECT_EQ(game->count, game->closeAfter);
    EXPECT_EQ(game->fadeLevels, (std::vector<int>{0, 0, 0, 0}))
        << "the logo clears the screen in its first frame";
    EXPECT_TRUE(game->errors.empty()) << game->errors.front();
    EXPECT_FALSE(game->fullscreenAtStart);
    EXPECT_TRUE(game->goneAfterFinalize);
    game->Release();

    // The saves of a first run, written by the teardown.
    const std::string folder = SaveFolder();
    EXPECT_EQ(std::filesystem::file_size(folder + "/Data.dat"), 1072u);
    EXPECT_EQ(std::filesystem::file_size(folder + "/Config.dat"), ConfigBlock::kSize);
    EXPECT_EQ(std::filesystem::file_size(folder + "/Score.dat"), 12808u);
}

TEST(GameFramework, ConfiguredFullScreenAppliesBeforeTheFirstFrame) {
    {
        GlobalWork work;
        work.config[ConfigBlock::kOffsetScreenMode] = 1;
        ASSERT_TRUE(work.SaveAll());
    }
    LoopProbe* game = new LoopProbe;
    game->closeAfter = 1;
    game->Run();
    EXPECT_TRUE(game->fullscreenAtStart);
    game->Release();
    std::filesystem::remove_all(SaveFolder());
}

// The game played by keyboard to the game menu's last entry, which closes
// the window: the loop ends and the saves are written.
class MenuExitProbe : public GameFramework {
public:
    void OnFrame(const float& frames) override {
        GameFramework::OnFrame(frames);
        ++count;
        if (keyDown) {
            input_test::PushKey(key, false);
            keyDown = false;
            return;
        }
        SceneBase* scene = SceneDriver::GetInstance()->GetFirstActive();
        // Shot skips each logo (one whose effect cannot play passes alone).
        if (auto* logo = dynamic_cast<SceneLogo*>(scene)) {
            if (logo->GetState() == 3)
                Press(SDL_SCANCODE_Z);
        } else if (auto* title = dynamic_cast<SceneTitle*>(scene)) {
            if (title->GetState() == 3 || title->GetState() == 4)
                Press(SDL_SCANCODE_Z);
        } else if (auto* menu = dynamic_cast<SceneSelectGameMenu*>(scene)) {
            if (menu->GetState() != 4)
                return;
            if (menu->GetCursor() != SceneSelectGameMenu::kExit) {
                Press(SDL_SCANCODE_UP);
            } else {
                Press(SDL_SCANCODE_Z);
                exitChosen = true;
            }
        }
        if (count == kMostFrames)
            Mireku::Framework::RequestClose();
    }
    void Press(SDL_Scancode pressed) {
        key = pressed;
        input_test::PushKey(key, true);
        keyDown = true;
    }

    static constexpr int kMostFrames = 1200;
    int count = 0;
    bool keyDown = false;
    bool exitChosen = false;
    SDL_Scancode key = SDL_SCANCODE_UNKNOWN;
};

TEST(GameFramework, TheMenusLastEntryClosesTheGameWithTheSavesWritten) {
    std::filesystem::remove_all(SaveFolder());
    MenuExitProbe* game = new MenuExitProbe;
    EXPECT_TRUE(game->Run());
    EXPECT_TRUE(game->exitChosen);
    EXPECT_LT(game->count, MenuExitProbe::kMostFrames) << "closed by the menu, not the probe";
    game->Release();
    const std::string folder = SaveFolder();
    EXPECT_TRUE(std::filesystem::exists(folder + "/Data.dat"));
    EXPECT_TRUE(std::filesystem::exists(folder + "/Config.dat"));
    EXPECT_TRUE(std::filesystem::exists(folder + "/Score.dat"));
    std::filesystem::remove_all(SaveFolder());
}

} // namespace
