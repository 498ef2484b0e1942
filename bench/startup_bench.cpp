// Time from the start of the game to its first presented frame, on the
// generated data beside the executable: engine start-up, the game's
// start-up (archives, tables, saves, sounds, the story font), and frames
// until the render thread has presented the first one. Each iteration starts
// and shuts the whole game down again.
#include "engine/common/Heap.h"
#include "engine/graphics/Driver.h"
#include "game/app/GameFramework.h"
#include "sys/thread.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

void BM_StartToFirstPresentedFrame(benchmark::State& state) {
    for (auto _ : state) {
        const uint64_t start = sys::NowMicroseconds();
        GameFramework* game = GameFramework::CreateInstance();
        game->GetSettings().SetClientSize(1280, 720);
        game->GetSettings().SetFramesPerSecond(60);
        game->GetSettings().SetFixedStep();
        if (!game->Initialize()) {
            state.SkipWithError("the game did not start");
            game->Finalize();
            GameFramework::DestroyInstance();
            break;
        }
        Mireku::Graphics::Driver* driver = Mireku::Graphics::Driver::GetInstance();
        // The render thread presents one frame behind the recording: the
        // first present shows the empty frame before the game's first, the
        // second shows the game's first frame.
        uint32_t frames = 0;
        while (driver->GetPresentCount() < 2) {
            driver->BeginFrame();
            game->Step(1.0f);
            driver->EndFrame();
            ++frames;
        }
        state.SetIterationTime(static_cast<double>(sys::NowMicroseconds() - start) * 1e-6);
        state.counters["frames"] = frames;
        game->Finalize();
        GameFramework::DestroyInstance();
    }
}
BENCHMARK(BM_StartToFirstPresentedFrame)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    // The game writes its saves under the documents folder: a scratch home
    // keeps the user's own saves out of reach.
    char pattern[] = "/tmp/drevanth-bench-XXXXXX";
    const char* home = mkdtemp(pattern);
    if (home) {
        setenv("HOME", home, 1);
        unsetenv("XDG_CONFIG_HOME");
    }
    Mireku::Common::Heap::LockedInitialize();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (home) {
        std::error_code ignored;
        std::filesystem::remove_all(home, ignored);
    }
    return 0;
}
