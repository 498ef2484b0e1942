// An error box never keeps the game from ending: each way a player ends it
// closes a box that is up, and no box is shown once the game is ending.
#include "support/InputTestSupport.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

namespace {

using namespace std::chrono_literals;

// A box as SDL shows one on X11: a child process draws it and the caller
// waits for that process to end.
std::atomic<pid_t> g_boxProcess{0};
std::atomic<int> g_boxStatus{0};

void ChildProcessBox(const char*, const char*, void*) {
    const pid_t pid = fork();
    if (pid == 0)
        for (;;)
            pause();
    int status = 0;
    g_boxProcess.store(pid);
    waitpid(pid, &status, 0);
    g_boxStatus.store(status);
}

void CloseButton() {
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = SDL_WINDOWEVENT;
    e.window.event = SDL_WINDOWEVENT_CLOSE;
    SDL_PushEvent(&e);
}

struct Quit {
    const char* name;
    void (*send)();
};

class ErrorBoxQuit : public testing::TestWithParam<Quit> {};

TEST_P(ErrorBoxQuit, ClosesTheBoxAndShowsNoneAfter) {
    input_test::WindowLoop loop;
    ASSERT_TRUE(loop.IsOpen());
    sys::SetMessageBoxRunner(&ChildProcessBox);
    g_boxProcess.store(0);
    auto shown = std::async(std::launch::async, [] { sys::ShowErrorBox("Error", "a fault"); });
    for (int i = 0; i < 500 && g_boxProcess.load() == 0; ++i)
        std::this_thread::sleep_for(10ms);
    ASSERT_NE(g_boxProcess.load(), 0) << "the box is up";
    EXPECT_EQ(shown.wait_for(100ms), std::future_status::timeout) << "it waits for the player";
    EXPECT_FALSE(sys::QuitRequested());

    GetParam().send();
    EXPECT_EQ(shown.wait_for(2s), std::future_status::ready) << "the quit closes the box";
    EXPECT_TRUE(WIFSIGNALED(g_boxStatus.load()));
    EXPECT_TRUE(sys::QuitRequested());

    // Errors while the game ends go to stderr only.
    g_boxProcess.store(0);
    testing::internal::CaptureStderr();
    sys::ShowErrorBox("Error", "a later fault");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: a later fault\n");
    EXPECT_EQ(g_boxProcess.load(), 0);
    sys::SetMessageBoxRunner(nullptr);
}

INSTANTIATE_TEST_SUITE_P(EveryWayToEnd, ErrorBoxQuit,
                         testing::Values(Quit{"Sigterm", [] { kill(getpid(), SIGTERM); }},
                                         Quit{"Sigint", [] { kill(getpid(), SIGINT); }},
                                         Quit{"CloseButton", &CloseButton}),
                         [](const testing::TestParamInfo<Quit>& info) { return info.param.name; });

} // namespace
