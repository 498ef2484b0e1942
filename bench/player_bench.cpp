// The player side's frame on the null graphics backend: ship 3 at power 3
// with every stream of its shot row firing every frame (19 shots a volley),
// its shots bursting on 100 enemies that never die (13 objects a hit: a
// break and twelve sparks), the exhaust, all of it ticked (the collision
// pass), updated, drawn and flushed as the game runs a frame. Also counts
// the engine-heap and malloc-family calls of a steady frame: the goal is
// none of either.
#include "bench/support/StageBench.h"
#include "game/core/ReplayStream.h"
#include "game/core/tables/ShotParamRow.h"
#include "game/player/Player.h"
#include "game/stage/StageInput.h"

#include <benchmark/benchmark.h>

#include <cstring>

namespace {

using Mireku::Common::Vector2;

constexpr int8_t kShip = 3;
constexpr int8_t kPower = 3;

// The recording the director reads: the ship's record, then shot held.
std::vector<uint8_t> Replay(const PlayerWork& player) {
    PlayerWork start = player;
    start.ship = kShip;
    start.power = kPower;
    std::vector<uint8_t> bytes(ReplayStream::kHeaderSize + 4);
    ReplayStream::WriteHeader(bytes.data(), {start, 0, 3});
    const uint32_t shot = StageInput::kShot;
    std::memcpy(bytes.data() + ReplayStream::kHeaderSize, &shot, 4);
    return bytes;
}

void BM_PlayerFrame(benchmark::State& state) {
    stage_bench::Stage stage(
        [](stage_bench::MemoryTables& tables) {
            for (const char* name : {"player_o_pc_shot.tsb", "player_u_pc_shot.tsb"}) {
                auto* row = reinterpret_cast<ShotParamRow*>(tables.files[name].data()) +
                            (kShip * 4 + kPower);
                for (ShotStream& s : row->streams) {
                    s.interval = 1;
                    s.limit = 100;
                }
            }
        },
        [](GlobalWork& gw) {
            const std::vector<uint8_t> replay = Replay(gw.player);
            gw.StartReplayPlayback(replay.data(), static_cast<uint32_t>(replay.size()));
        });
    GameObjectDirector* director = stage.Director();
    GlobalWork& gw = *GlobalWork::GetInstance();
    // Ten rows of ten above the ship, and the ship kept out of their way.
    for (int i = 0; i < 100; ++i)
        GameObject::Create<stage_bench::Wall>(
            director, director, Vector2{-270.0f + 60.0f * (i % 10), 40.0f + 24.0f * (i / 10)},
            int16_t{40});
    const auto frame = [&] {
        // The same word, shot held, every frame.
        gw.replayPosition = ReplayStream::kHeaderSize;
        stage.Frame();
        if (Player* ship = director->GetPlayer())
            ship->SetPosition(0.0f, 600.0f);
    };
    for (int i = 0; i < 120; ++i) // past every first-frame allocation, into the steady state
        frame();
    for (auto _ : state)
        frame();

    double heap = 0, mallocs = 0;
    stage.CountCalls(100, frame, &heap, &mallocs);
    state.counters["objects"] = stage.Objects();
    state.counters["heap_calls_per_frame"] = heap;
    state.counters["malloc_calls_per_frame"] = mallocs;
}
BENCHMARK(BM_PlayerFrame)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
