// One frame of two sprite-drawn screens on the null graphics backend, over
// the generated data beside the executable: the pilot select on its grid and
// a ranking page with all ten rows filled (some 330 glyph sprites). A frame
// is the screen's update and drawing and the flush of the sprite layers. The
// counters say whether a frame allocated: calls of the global allocator,
// and blocks in use in the engine heap before and after the timed frames.
#include "BenchGame.h"
#include "game/core/ScoreBlock.h"
#include "game/scene/SceneRanking.h"
#include "game/scene/SceneSelectPilot.h"

#include <cstring>
#include <filesystem>

namespace {

using bench_game::Game;
using bench_game::Measure;

std::string g_documents;

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
