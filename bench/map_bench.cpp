// The stage map's objects on the null graphics backend: a challenge-length
// map (61 x 1455 cells) with about 10 000 cells that place an object, turned
// into waiting creators by BGParts (its build timed on its own), and 500 map
// objects standing in the field; the director's frame (tick, update, draw,
// flush) with all of them, as the game runs it. Also counts the engine-heap
// and malloc-family calls of a steady frame: the goal is none, and the frame
// under 1 ms.
#include "bench/support/StageBench.h"
#include "game/core/tables/EnemyRecord.h"
#include "game/core/tables/MapAttributeEntry.h"
#include "game/enemy/background/BGParts.h"
#include "game/enemy/map/EnemyMapObject.h"
#include "game/stage/StageMap.h"
#include "game/stage/StageResources.h"
#include "game/stage/StageTextureTable.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

constexpr uint32_t kWidth = 61;
constexpr uint32_t kHeight = 23280 / 16;
constexpr uint32_t kObjects = 500;
constexpr uint32_t kMode = 1;

// Every type of the map range with a 32 x 32 body, a box, no emitters.
void PrepareRows(GlobalWork& gw) {
    stage_bench::Stage::WithoutTimeline(gw, kMode);
    TableBlob& table = gw.tables.enemy[kMode * GameTables::kStageCount];
    for (uint32_t t = 200; t <= 263; ++t) {
        EnemyRecord& r = *table.MutableAt<EnemyRecord>(t);
        r.trackA[0] = {0, 0, 31, 31};
        r.trackB[0] = {32, 0, 63, 31};
        r.hitWidth = r.hitHeight = 24;
        r.health = 30000;
        r.grid = {};
    }
    for (uint32_t v = 1; v <= 64; ++v)
        gw.tables.mapAttribute.MutableAt<MapAttributeEntry>(v)->value =
            static_cast<uint16_t>(199 + v);
}

// About one cell in nine places an object (16-bit cells).
std::vector<uint8_t> ChallengeMap(uint32_t* placing) {
    StageMapHeader header{};
    header.width = kWidth;
    header.height = kHeight;
    header.cellWidth = 16;
    header.cellHeight = 16;
    header.bits = 16;
    std::vector<uint8_t> out(sizeof header);
    std::memcpy(out.data(), &header, sizeof header);
    *placing = 0;
    for (uint32_t i = 0; i < kWidth * kHeight; ++i) {
        const uint16_t v = i % 9 == 4 ? static_cast<uint16_t>(1 + i % 64) : 0;
        *placing += v != 0;
        out.push_back(static_cast<uint8_t>(v));
        out.push_back(static_cast<uint8_t>(v >> 8));
    }
    return out;
}

struct MapStage {
    MapStage() : stage({}, PrepareRows) {
        stage.Director()->GetResources()->stageTextures[StageTextureSlot::kMapObjectSheet] =
            stage_bench::Stage::SolidTexture(1024, {160, 120, 80});
        image = ChallengeMap(&placing);
    }
    stage_bench::Stage stage;
    std::vector<uint8_t> image;
    uint32_t placing = 0;
};

void BM_BGPartsBuild(benchmark::State& state) {
    MapStage s;
    GameObjectDirector* director = s.stage.Director();
    const StageMap map(s.image.data(), static_cast<uint32_t>(s.image.size()));
    for (auto _ : state) {
        GameObject* mark = director->GetLastChild();
        auto* parts = GameObject::Create<BGParts>(nullptr, director, map);
        state.PauseTiming();
        // The creators went to the director: back to the pool.
        for (GameObject* c = mark ? mark->GetNextSibling() : nullptr; c; c = c->GetNextSibling())
            c->Vanish();
        for (int i = 0; i < 4; ++i)
            s.stage.Frame();
        delete parts;
        state.ResumeTiming();
    }
    state.counters["cells_placing"] = s.placing;
}
BENCHMARK(BM_BGPartsBuild)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_MapFrame(benchmark::State& state) {
    MapStage s;
    GameObjectDirector* director = s.stage.Director();
    const StageMap map(s.image.data(), static_cast<uint32_t>(s.image.size()));
    auto* parts = GameObject::Create<BGParts>(nullptr, director, map);
    for (uint32_t i = 0; i < kObjects; ++i)
        GameObject::Create<EnemyMapObject>(director, director, static_cast<int32_t>(200 + i % 64),
                                           i % kWidth, i / kWidth);
    // The director's map is empty in the benchmark: its placement keeps every
    // cell above the field (the creators wait), and the objects stand where
    // the scroll puts them.
    director->SetMapScroll(6480.0f - 200.0f);
    s.stage.Measure(state);
    delete parts;
}
BENCHMARK(BM_MapFrame)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
