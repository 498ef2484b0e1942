#include "engine/framework/Framework.h"
#include "engine/framework/GameWindow.h"
#include "sys/window.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
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
        if (steps.size() == closeAfter)
            Mireku::Framework::RequestClose();
    }

    bool initializeResult = true;
    size_t closeAfter = 5;
    std::vector<std::string> log;
    std::vector<std::string> errors;
    std::vector<float> steps;
};

struct EnvGuard {
    explicit EnvGuard(const char* name) : name(name) {
        const char* v = std::getenv(name);
        had = v != nullptr;
        if (v)
            value = v;
    }
    ~EnvGuard() {
        if (had)
            setenv(name, value.c_str(), 1);
        else
            unsetenv(name);
    }
    const char* name;
    bool had;
    std::string value;
};

} // namespace

TEST(Framework, FixedStepLoopRunsUntilTheWindowClosesThenFinalizes) {
    ProbeFramework* fw = new ProbeFramework;
    ASSERT_NE(fw, nullptr);
    ASSERT_NE(GameWindow::GetInstance(), nullptr) << "the constructor creates the window object";
    fw->GetSettings().SetTitle("ドレヴァンスの疾風 v3.20");
    EXPECT_TRUE(fw->Run());
    EXPECT_EQ(fw->steps.size(), 5u);
    for (float s : fw->steps)
        EXPECT_EQ(s, 1.0f);
    EXPECT_EQ(fw->log, (std::vector<std::string>{"OnInitialize", "OnFinalize"}));
    EXPECT_TRUE(fw->errors.empty());
    EXPECT_EQ(*fw->GetCommandBufferSize(), Framework::kDefaultCommandBufferSize);
    EXPECT_TRUE(GameWindow::GetInstance()->IsClosed());
    fw->Release();
    EXPECT_EQ(GameWindow::GetInstance(), nullptr) << "the destructor destroys the window object";
}

TEST(Framework, FailingGameHookSkipsTheLoopAndStillFinalizes) {
    ProbeFramework* fw = new ProbeFramework;
    fw->initializeResult = false;
    fw->Run();
    EXPECT_TRUE(fw->steps.empty());
    EXPECT_EQ(fw->log, (std::vector<std::string>{"OnInitialize", "OnFinalize"}));
    fw->Release();
}

TEST(Framework, WindowFailureIsReportedSkipsTheLoopAndStillFinalizes) {
    EnvGuard guard("SDL_VIDEODRIVER");
    setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
    ProbeFramework* fw = new ProbeFramework;
    fw->Run();
    EXPECT_TRUE(fw->steps.empty());
    EXPECT_EQ(fw->log, (std::vector<std::string>{"OnFinalize"}))
        << "the game hook never runs when the window fails";
    ASSERT_EQ(fw->errors.size(), 1u);
    EXPECT_EQ(fw->errors[0], "ウィンドウクラスの登録に失敗");
    fw->Release();
}

TEST(Framework, StepIsOneFrameFixedOrFollowsElapsedTime) {
    ProbeFramework* fw = new ProbeFramework;
    EXPECT_EQ(fw->FramesFor(123456), 1.0f) << "fixed step ignores the elapsed time";
    fw->GetSettings().SetFixedStep(false);
    EXPECT_NEAR(fw->FramesFor(16667), 1.0f, 0.001f);
    EXPECT_NEAR(fw->FramesFor(50000), 3.0f, 0.001f);
    fw->Release();
}
