// The weapons' frame on the null graphics backend: 100 homing lasers with
// full trails and about 240 Barion laser beams against 300 enemies that
// never die, ticked (the collision pass), updated, drawn and flushed as the
// game runs a frame, over the sample stage map (the lasers keep to it).
// The lasers are held where they are (a top speed of 0) so that the hundred
// stay alive: they still track their targets, steer, push their trails and
// draw their ribbons and sights every frame. The beams come as the laser
// state makes them: a volley every 32 frames, each beam living 260 frames.
// Also counts the engine-heap and malloc-family calls of a steady frame:
// the goal is none of either.
#include "bench/support/StageBench.h"
#include "engine/resource/LoadRequest.h"
#include "engine/resource/ResourceLoader.h"
#include "game/core/FileLoader.h"
#include "game/core/tables/ShipParamRow.h"
#include "game/player/Player.h"
#include "game/player/PlayerCreation.h"
#include "game/player/PlayerExWeapon_BarionLaser.h"
#include "game/player/PlayerSubWeapon_SW002.h"
#include "sys/file.h"
#include "tools/sampledata/StageData.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>

namespace {

using Mireku::Common::Vector2;

constexpr int kEnemies = 300;
constexpr int kLasers = 100;
constexpr uint32_t kVolleyEvery = 32;

// The sample stage map as a loose file, read by the stage's loader; the
// loader has no thread, and the reads the stage queues (its music) fail.
class LooseMap {
public:
    void Start() {
        namespace fs = std::filesystem;
        folder_ = (fs::temp_directory_path() / "drevanth-weapons-bench").string();
        const std::string path = folder_ + "/" + SampleData::StageMapPath(0);
        fs::create_directories(fs::path(path).parent_path());
        const std::vector<uint8_t> map = SampleData::BuildStageMap(0);
        if (FILE* f = std::fopen(path.c_str(), "wb")) {
            std::fwrite(map.data(), 1, map.size(), f);
            std::fclose(f);
        }
        loader_ = Mireku::Resource::ResourceLoader::CreateInstance();
        loader_->SetMode(Mireku::Resource::ResourceLoader::kLooseFiles);
        loader_->AddRootFolder(folder_.c_str());
        FileLoader::CreateInstance()->SetSynchronous(true);
    }
    void FailQueuedReads() {
        Mireku::Resource::LoadRequest request;
        while (loader_ && loader_->TakeNext(&request))
            request.completion(nullptr, 0, request.user, request.folder, request.name);
    }
    ~LooseMap() {
        if (!loader_)
            return;
        FileLoader::DestroyInstance();
        loader_->Finalize();
        Mireku::Resource::ResourceLoader::DestroyInstance();
        std::filesystem::remove_all(folder_);
    }

private:
    std::string folder_;
    Mireku::Resource::ResourceLoader* loader_ = nullptr;
};

void BM_WeaponsFrame(benchmark::State& state) {
    LooseMap map;
    stage_bench::Stage stage(
        [](stage_bench::MemoryTables& tables) {
            for (const char* name : {"player_o_pc_com.tsb", "player_u_pc_com.tsb"}) {
                auto* rows = reinterpret_cast<ShipParamRow*>(tables.files[name].data());
                for (size_t i = 0; i < tables.files[name].size() / sizeof(ShipParamRow); ++i) {
                    rows[i].sub2MaxSpeed = 0;
                    rows[i].laserLife = 255;
                }
            }
        },
        [&map](GlobalWork&) { map.Start(); });
    GameObjectDirector* director = stage.Director();
    for (int i = 0; i < 20 && director->GetState() != GameObjectDirector::kPlay; ++i) {
        map.FailQueuedReads();
        director->UpdateTree();
    }
    Player* ship = director->GetPlayer();
    const ShipParamRow* row = Player::ShipRow();
    if (director->GetState() != GameObjectDirector::kPlay || !ship || !row ||
        director->GetMapHeight() <= 0.0f) {
        state.SkipWithError("the stage did not start with its map");
        return;
    }
    ship->SetPosition(0.0f, 660.0f);
    // Fifteen rows of twenty over the upper field, lasers below them, each
    // after one of the enemies.
    std::vector<GameObject*> enemies;
    for (int i = 0; i < kEnemies; ++i)
        enemies.push_back(GameObject::Create<stage_bench::Wall>(
            director, director, Vector2{-330.0f + 34.0f * (i % 20), 30.0f + 24.0f * (i / 20)},
            int16_t{32}));
    for (int i = 0; i < kLasers; ++i)
        PlayerSubWeapon_SW002::Launch(director, ship, enemies[static_cast<size_t>(i * 3)],
                                      *enemies[static_cast<size_t>(i * 3)]->GetPosition(),
                                      Vector2{0.0f, -1.0f},
                                      Vector2{-300.0f + 6.0f * i, 480.0f + (i % 5) * 30.0f}, row);
    uint32_t frameNumber = 0;
    const auto frame = [&] {
        if (frameNumber++ % kVolleyEvery == 0)
            CreateBarionLaserBase(director, ship, row);
        stage.Frame();
    };
    for (int i = 0; i < 600; ++i) // into the steady state: every volley's beams out
        frame();
    int64_t beams = 0;
    for (GameObject* c = director->GetFirstChild(); c; c = c->GetNextSibling())
        beams += dynamic_cast<PlayerExWeapon_BarionLaser*>(c) != nullptr;
    for (auto _ : state)
        frame();

    double heap = 0, mallocs = 0;
    stage.CountCalls(100, frame, &heap, &mallocs);
    state.counters["lasers"] = ship->subCount;
    state.counters["beams"] = static_cast<double>(beams);
    state.counters["objects"] = stage.Objects();
    state.counters["heap_calls_per_frame"] = heap;
    state.counters["malloc_calls_per_frame"] = mallocs;
}
BENCHMARK(BM_WeaponsFrame)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
