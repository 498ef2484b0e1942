// One frame of a stage full of enemy fire on the null graphics backend:
// fourteen enemies fire two-way volleys every other frame from their emitter
// grids, so that about 2000 bullets are in the field at once; every bullet
// moves, animates, registers its box and is tested in the collision pass
// against the ship's box (the ship kept invincible, so that a hit changes
// nothing but the bullet) and a large strong-weapon box (bullets that touch
// either are spent), then both of its sprites are drawn and the layers
// flushed. Also counts the engine-heap and malloc-family calls of a steady
// frame: the goal is none of either (bullets live in the object pool).
#include "bench/support/StageBench.h"
#include "engine/graphics/ResourceCreation.h"
#include "game/core/tables/TimelineEntry.h"
#include "game/enemy/common/EnemyBase.h"
#include "game/player/Player.h"
#include "game/player/PlayerShotBase.h"
#include "game/stage/StageResources.h"
#include "tools/sampledata/StageData.h"

#include <benchmark/benchmark.h>

namespace {

using Mireku::Common::Vector2;

constexpr uint32_t kMode = 1;
constexpr int32_t kEnemyRow = 3;
constexpr uint32_t kEmitter = 5;
constexpr int kEnemies = 14;

// An enemy as the enemy classes run one: its emitters every update.
class Gunner : public EnemyBase {
public:
    Gunner(GameObjectDirector* owner, int32_t row) : EnemyBase(owner, row) {}
    void Update() override { UpdateEmitters(0); }
};

// A strong player weapon's box that registers every frame and does no harm.
class StrongBox : public PlayerShotBase {
public:
    StrongBox(GameObjectDirector* owner, Vector2 at) : PlayerShotBase(owner) {
        SetPosition(at.x, at.y);
        SetHitShapeActive(true);
    }
    void Update() override {
        SetHitBox(0, 0, 120, 120);
        GetOwner()->RegisterCollision(GetCollisionGroup(), this);
    }
    uint32_t GetCollisionGroup() const override { return 4; }
    int16_t GetAttackPower() const override { return 0; }
    uint32_t GetWeaponFamily() const override { return kFamilyShot; }
};

// Mode 1 without its timeline; enemy row kEnemyRow with one emitter that
// fires two ways over 90 degrees downwards every other frame, for good.
void Shape(GlobalWork& gw) {
    gw.mode = kMode;
    TableBlob& timeline = gw.tables.timeline[kMode * GameTables::kStageCount];
    reinterpret_cast<TimelineEntry*>(timeline.data)->type = -1;
    EnemyRecord& row =
        *gw.tables.enemy[kMode * GameTables::kStageCount].MutableAt<EnemyRecord>(kEnemyRow);
    row.grid = {};
    row.grid.mounts[0].emitters[0] = static_cast<int16_t>(kEmitter);
    EmitterParamRow& e = *gw.tables.ebss[kMode].MutableAt<EmitterParamRow>(kEmitter - 1);
    e.bullet = 1;
    e.startWait = 0;
    e.lifetime = 32000;
    e.preFireWait = 0;
    e.shotsPerBurst = 32000;
    e.shotGap = 0;
    e.rest = 0;
    e.speed = 4;
    e.randomDelay = 0;
    e.aimed = 0;
    e.direction = 90;
    e.ways = 2;
    e.spread = 90;
    e.randomDirection = 1;
    e.speedStep = 0;
    e.rotating = 0;
    e.playSound = 0;
}

void BM_EnemyFireFrame(benchmark::State& state) {
    stage_bench::Stage stage({}, Shape, true); // bullets leave by the field's sides
    GameObjectDirector* director = stage.Director();
    GlobalWork& gw = *GlobalWork::GetInstance();
    // The bullet sheets.
    for (uint32_t slot = 0; slot < 2; ++slot) {
        const auto dds = SampleData::SolidDds(512, 512, {150, 60, 200});
        director->GetResources()->bulletTextures[slot] =
            Mireku::Graphics::CreateTextureFromMemory(dds.data(), static_cast<uint32_t>(dds.size()),
                                                      Mireku::Graphics::kTextureFormatFromFile);
    }
    for (int i = 0; i < kEnemies; ++i)
        if (Gunner* g = GameObject::Create<Gunner>(director, director, kEnemyRow))
            g->SetPosition(-325.0f + 50.0f * i, 20.0f);
    GameObject::Create<StrongBox>(director, director, Vector2{-150.0f, 450.0f});
    const auto frame = [&] {
        gw.player.invincible = 1;
        gw.player.invincibleTimer = -1;
        stage.Frame();
        if (Player* ship = director->GetPlayer())
            ship->SetPosition(0.0f, 600.0f);
    };
    const auto bullets = [director] {
        uint32_t n = 0;
        for (GameObject* c = director->GetFirstChild(); c; c = c->GetNextSibling())
            n += c->GetKind() == GameObject::kKindEnemyShot && c->IsAlive();
        return n;
    };
    for (int i = 0; i < 600; ++i) // the field fills and settles
        frame();
    for (auto _ : state)
        frame();

    double heap = 0, mallocs = 0;
    stage.CountCalls(100, frame, &heap, &mallocs);
    state.counters["bullets"] = bullets();
    state.counters["ship"] = director->GetPlayer() ? 1.0 : 0.0;
    state.counters["heap_calls_per_frame"] = heap;
    state.counters["malloc_calls_per_frame"] = mallocs;
}
BENCHMARK(BM_EnemyFireFrame)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
