// The common enemy's frame on the null graphics backend: 1000 EnemyDefault
// (the "Enemy_Blend" layer's capacity) following a long path, animating,
// facing their motion, registering their boxes and drawing both tracks,
// ticked, updated, drawn and flushed as the game runs a frame; against the
// same maths over flat arrays (path sample, animation, facing, box, the two
// sprites each) with the same flush. Also counts the engine-heap and
// malloc-family calls of a steady frame of the objects: the goal is none.
#include "bench/support/StageBench.h"
#include "game/core/SpriteQuad.h"
#include "game/core/tables/EnemyRecord.h"
#include "game/enemy/EnemyDefault.h"
#include "game/stage/StageResources.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

using Mireku::Common::Vector2;

constexpr uint32_t kEnemies = 1000;
constexpr int32_t kType = 10;
constexpr uint32_t kMode = 1;
// A loop of 20000 ms repeated to 200000 points, played at speed -90 (1.67
// ms a frame): 120000 frames before a path could run out, more than a run
// of the benchmark takes.
constexpr uint32_t kPathPoints = 200000;
constexpr float kPi = std::numbers::pi_v<float>;

void PrepareRow(GlobalWork& gw) {
    stage_bench::Stage::WithoutTimeline(gw, kMode);
    EnemyRecord& r =
        *gw.tables.enemy[kMode * GameTables::kStageCount].MutableAt<EnemyRecord>(kType);
    for (uint32_t f = 0; f < 8; ++f) {
        r.trackA[f] = f < 4 ? TexelRect{static_cast<int16_t>(32 * f), 0,
                                        static_cast<int16_t>(32 * f + 31), 31}
                            : TexelRect{0, 0, 0, 0};
        r.trackB[f] = f < 2 ? TexelRect{static_cast<int16_t>(32 * f), 64,
                                        static_cast<int16_t>(32 * f + 31), 95}
                            : TexelRect{0, 0, 0, 0};
        r.frameLengths[f] = 6;
    }
    r.facePlayer = r.spin = 0;
    r.faceMotion = 1;
    r.health = 32000;
    r.speed = -90;
    r.mirror = 0;
    r.hitWidth = r.hitHeight = 24;
    r.grid = {}; // the enemies' own cost, not their bullets'
    *gw.tables.enemyResIndex.MutableAt<ResourceIndexEntry>(kType) =
        ResourceIndexEntry::Make(0, ResourceIndexEntry::kNone, 0);
}

std::vector<float> LoopPath() {
    std::vector<float> points(kPathPoints * 2);
    for (uint32_t i = 0; i < kPathPoints; ++i) {
        const float a = static_cast<float>(i % 20000) * (2.0f * kPi / 20000.0f);
        points[2 * i] = 120.0f * std::sin(a);
        points[2 * i + 1] = 80.0f * (1.0f - std::cos(a));
    }
    return points;
}

// The stage with the path and the sheet in place.
struct EnemyStage {
    EnemyStage() : stage({}, PrepareRow) {
        StageResources& res = *stage.Director()->GetResources();
        const std::vector<float> points = LoopPath();
        res.paths[0].points =
            static_cast<float*>(Mireku::Common::Heap::LockedAlloc(points.size() * sizeof(float)));
        std::memcpy(res.paths[0].points, points.data(), points.size() * sizeof(float));
        res.paths[0].pointCount = kPathPoints;
        res.enemyTextures[0] = stage_bench::Stage::SolidTexture(256, {120, 200, 90});
    }
    stage_bench::Stage stage;
};

void BM_EnemyDefaultFrame(benchmark::State& state) {
    EnemyStage s;
    GameObjectDirector* director = s.stage.Director();
    for (uint32_t i = 0; i < kEnemies; ++i)
        GameObject::Create<EnemyDefault>(
            director, director, kType,
            Vector2{-300.0f + 20.0f * static_cast<float>(i % 31), 20.0f + 18.0f * (i / 31)});
    s.stage.Measure(state);
}
BENCHMARK(BM_EnemyDefaultFrame)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The same work on flat arrays, drawn through the same layers.
struct FlatEnemies {
    std::vector<Vector2> spawn, offset, previous;
    std::vector<float> pathPosition, angle;
    std::vector<uint8_t> frame0, frame1, counter0, counter1;
    std::vector<float> box; // min x, min y, max x, max y
};

void BM_FlatArrayFrame(benchmark::State& state) {
    EnemyStage s;
    const EnemyRecord& row = *GlobalWork::GetInstance()->tables.EnemyRow(kMode, 0, kType);
    const StagePath& path = s.stage.Director()->GetResources()->paths[0];
    Mireku::Graphics::Texture* sheet = s.stage.Director()->GetResources()->enemyTextures[0];
    SpriteManager* sprites = SpriteManager::GetInstance();
    Mireku::Renderer::SpriteRenderer* blend = sprites->GetLayer(SpriteLayer::kEnemyBlend);
    Mireku::Renderer::SpriteRenderer* add = sprites->GetLayer(SpriteLayer::kEnemyAdd);
    FlatEnemies e;
    e.spawn.resize(kEnemies);
    e.offset.resize(kEnemies);
    e.previous.resize(kEnemies);
    e.pathPosition.assign(kEnemies, 0.0f);
    e.angle.assign(kEnemies, 0.0f);
    e.frame0.assign(kEnemies, 0);
    e.frame1.assign(kEnemies, 0);
    e.counter0.assign(kEnemies, 0);
    e.counter1.assign(kEnemies, 0);
    e.box.assign(kEnemies * 4, 0.0f);
    for (uint32_t i = 0; i < kEnemies; ++i)
        e.spawn[i] = {-300.0f + 20.0f * static_cast<float>(i % 31), 20.0f + 18.0f * (i / 31)};
    const float rate = (static_cast<float>(row.speed) * 0.01f + 1.0f) * 1000.0f / 60.0f;
    const auto step = [&](uint8_t& frame, uint8_t& counter, const TexelRect* track) {
        if (++counter < row.frameLengths[frame])
            return;
        counter = 0;
        if (++frame >= 8 || track[frame].right == track[frame].left ||
            track[frame].bottom == track[frame].top)
            frame = 0;
    };
    const auto draw = [&](Mireku::Renderer::SpriteRenderer* layer, uint32_t blendIndex,
                          const TexelRect& r, const Vector2& at, float angle) {
        SpriteQuad::Centred(layer, sheet, blendIndex, r.left, r.top, r.Width(), r.Height(),
                            at.x + 360.0f, at.y, 1.0f, angle);
    };
    const auto frame = [&] {
        sprites->PrepareLayers();
        for (uint32_t i = 0; i < kEnemies; ++i) {
            const Vector2 position = e.spawn[i] + e.offset[i];
            e.previous[i] = position;
            step(e.frame0[i], e.counter0[i], row.trackA);
            step(e.frame1[i], e.counter1[i], row.trackB);
            e.offset[i] = EnemyDefault::PathPoint(path, e.pathPosition[i]);
            e.pathPosition[i] += rate;
            const Vector2 now = e.spawn[i] + e.offset[i];
            float* b = &e.box[4 * i];
            b[0] = now.x + 360.0f - 12.0f;
            b[1] = now.y - 12.0f;
            b[2] = b[0] + 24.0f;
            b[3] = b[1] + 24.0f;
            const Vector2 d = now - e.previous[i];
            float a = std::atan2(d.y, d.x) - kPi / 2.0f;
            if (a <= -kPi)
                a += 2.0f * kPi;
            e.angle[i] = a;
            draw(blend, SpriteQuad::kAlpha, row.trackA[e.frame0[i]], now, a);
            draw(add, SpriteQuad::kAdd, row.trackB[e.frame1[i]], now, a);
        }
        sprites->FlushLayers();
        Mireku::Graphics::ContextBuffer::GetInstance()->Reset(0);
        Mireku::Graphics::GetDrawContext()->Clear();
    };
    for (int i = 0; i < 60; ++i)
        frame();
    for (auto _ : state)
        frame();
    benchmark::DoNotOptimize(e.box.data());
}
BENCHMARK(BM_FlatArrayFrame)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
