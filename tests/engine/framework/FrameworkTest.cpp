#include "engine/framework/Framework.h"
#include "engine/framework/GameWindow.h"
#include "sys/window.h"

#include "engine/graphics/Driver.h"
#include "engine/peripheral/InputDevice.h"
#include "engine/platform/ProcessorInfo.h"
#include "engine/resource/ResourceLoader.h"
#include "engine/resource/ResourceManager.h"
#include "engine/sound/SoundDriver.h"
#include "engine/task/TaskDriver.h"
#include "support/TeardownLog.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <string>
#include <typeindex>
#include <vector>

using Mireku::Framework::Framework;
using Mireku::Framework::GameWindow;

namespace {

// Records what the engine calls, and closes the window after a few frames.
class ProbeFramework : public Framework {
public:
    bool OnInitialize() override {
        log.push_back("OnInitialize");
        return initializeResult;
    }
    void OnFinalize() override { log.push_back("OnFinalize"); }
    void ShowError(const char* text) override { errors.push_back(text); }
    void OnFrame(const float& frames) override {
        steps.push_back(frames);
        if (onFrame)
            onFrame(*this);
        if (steps.size() == closeAfter)
            Mireku::Framework::RequestClose();
    }
    void OnDropFiles(const char** names, unsigned count) override {
        std::lock_guard<std::mutex> lock(dropMutex);
        drops.emplace_back(names, names + count);
    }

    bool initializeResult = true;
    size_t closeAfter = 5;
    std::vector<std::string> log;
    std::vector<std::string> errors;
    std::vector<float> steps;
    std::function<void(ProbeFramework&)> onFrame;
    std::mutex dropMutex;
    std::vector<std::vector<std::string>> drops;
};

// A file dropped on the window, as SDL reports it (SDL frees the name).
void PushDrop(Uint32 type, const std::string& name = {}) {
    SDL_Event e{};
    e.type = type;
    e.drop.file = name.empty() ? nullptr : SDL_strdup(name.c_str());
    ASSERT_EQ(SDL_PushEvent(&e), 1);
}

} // namespace

TEST(Framework, FixedStepLoopRunsUntilTheWindowClosesThenFinalizes) {
    namespace M = Mireku;
    ProbeFramework* fw = new ProbeFramework;
    ASSERT_NE(fw, nullptr);
    ASSERT_NE(GameWindow::GetInstance(), nullptr) << "the constructor creates the window object";
    fw->GetSettings().SetTitle("ドレヴァンスの疾風 v3.20");
    testsupport::TeardownLog teardown;
    EXPECT_TRUE(fw->Run());
    EXPECT_EQ(fw->steps.size(), 5u);
    for (float s : fw->steps)
        EXPECT_EQ(s, 1.0f);
    EXPECT_EQ(fw->log, (std::vector<std::string>{"OnInitialize", "OnFinalize"}));
    EXPECT_TRUE(fw->errors.empty());
    EXPECT_EQ(*fw->GetCommandBufferSize(), 0x100000u) << "1 MiB unless the game asks otherwise";
    EXPECT_TRUE(GameWindow::GetInstance()->IsClosed());
    // Every engine service is gone, in the order the engine tears them down.
    EXPECT_EQ(M::Peripheral::InputDevice::GetInstance(), nullptr);
    EXPECT_EQ(M::Resource::ResourceLoader::GetInstance(), nullptr);
    EXPECT_EQ(M::Resource::ResourceManager::GetInstance(), nullptr);
    EXPECT_EQ(M::Sound::SoundDriver::GetInstance(), nullptr);
    EXPECT_EQ(M::Graphics::Driver::GetInstance(), nullptr);
    EXPECT_EQ(M::Task::TaskDriver::GetInstance(), nullptr);
    EXPECT_EQ(M::Platform::ProcessorInfo::GetInstance(), nullptr);
    const std::vector<std::type_index> order = {
        typeid(M::Peripheral::InputDevice),   typeid(M::Resource::ResourceLoader),
        typeid(M::Resource::ResourceManager), typeid(M::Sound::SoundDriver),
        typeid(M::Graphics::Driver),          typeid(M::Task::TaskDriver),
        typeid(M::Platform::ProcessorInfo)};
    EXPECT_EQ(teardown.Order(order), order);
    fw->Release();
    EXPECT_EQ(GameWindow::GetInstance(), nullptr) << "the destructor destroys the window object";
}

TEST(Framework, EachDropReachesTheGameOnceWithNamesCutTo259Bytes) {
    ProbeFramework* fw = new ProbeFramework;
    fw->closeAfter = 600; // a safety net: the drops end the run much sooner
    // 260 bytes, one too many for the 260-byte buffer with its terminator,
    // and 259, which just fits.
    const std::string tooLong = "/drop/" + std::string(254, 'x');
    const std::string fits = "/drop/" + std::string(253, 'y');
    fw->onFrame = [&](ProbeFramework& self) {
        if (self.steps.size() == 1) {
            PushDrop(SDL_DROPBEGIN);
            PushDrop(SDL_DROPFILE, tooLong);
            PushDrop(SDL_DROPFILE, fits);
            PushDrop(SDL_DROPCOMPLETE);
            PushDrop(SDL_DROPFILE, "/drop/alone.dat"); // a drop of one, without brackets
        }
        std::lock_guard<std::mutex> lock(self.dropMutex);
        if (self.drops.size() >= 2)
            Mireku::Framework::RequestClose();
    };
    fw->Run();
    ASSERT_EQ(fw->drops.size(), 2u);
    EXPECT_EQ(fw->drops[0], (std::vector<std::string>{tooLong.substr(0, 259), fits}));
    EXPECT_EQ(fw->drops[1], std::vector<std::string>{"/drop/alone.dat"});
    fw->Release();
}

TEST(Framework, FailingGameHookSkipsTheLoopAndStillFinalizes) {
    ProbeFramework* fw = new ProbeFramework;
    fw->initializeResult = false;
    fw->Run();
    EXPECT_TRUE(fw->steps.empty());
    EXPECT_EQ(fw->log, (std::vector<std::string>{"OnInitialize", "OnFinalize"}));
    fw->Release();
}

// Once a window has opened, SDL's video stays up for the rest of the process
// and a bad driver name changes nothing: the failure is staged in a process
// of its own, so the test passes in any order and alone.
TEST(Framework, WindowFailureIsReportedSkipsTheLoopAndStillFinalizes) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
            ProbeFramework* fw = new ProbeFramework;
            fw->Run();
            // The game hook never runs when the window fails.
            const bool ok = fw->steps.empty() &&
                            fw->log == std::vector<std::string>{"OnFinalize"} &&
                            fw->errors == std::vector<std::string>{"ウィンドウクラスの登録に失敗"};
            fw->Release();
            std::fputs(ok ? "reported and finalized\n" : "unexpected\n", stderr);
            std::exit(ok ? 0 : 1);
        },
        testing::ExitedWithCode(0), "reported and finalized");
}

TEST(Framework, StepIsOneFrameFixedOrFollowsElapsedTime) {
    ProbeFramework* fw = new ProbeFramework;
    EXPECT_EQ(fw->FramesFor(123456), 1.0f) << "fixed step ignores the elapsed time";
    fw->GetSettings().SetFixedStep(false);
    EXPECT_NEAR(fw->FramesFor(16667), 1.0f, 0.001f);
    EXPECT_NEAR(fw->FramesFor(50000), 3.0f, 0.001f);
    fw->Release();
}
