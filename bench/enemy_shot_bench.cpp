// One frame of a stage full of enemy fire on the null graphics backend:
// fourteen enemies fire two-way volleys every other frame from their emitter
// grids, so that about 2000 bullets are in the field at once; every bullet
// moves, animates, registers its box and is tested in the collision pass
// against the ship's box and a large strong-weapon box (the bullets that
// touch either are spent), then both of its sprites are drawn and the layers
// flushed. Counters: the bullets in play, and the global allocations and
// engine-heap blocks a steady frame adds (the goal is none of either; bullets
// live in the object pool).
#include "bench/AllocationCount.h"
#include "bench/BenchStage.h"
#include "engine/graphics/ResourceCreation.h"
#include "game/core/GlobalWork.h"
#include "game/core/tables/TimelineEntry.h"
#include "game/enemy/common/EnemyBase.h"
#include "game/enemy/shot/EnemyShotDefault.h"
#include "game/player/PlayerShotBase.h"
#include "game/stage/GameObjectDirector.h"
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

// A box that registers every frame in its group and takes no harm.
class Target : public PlayerShotBase {
public:
    Target(GameObjectDirector* owner, Vector2 at, int16_t size, uint32_t kind, uint32_t group)
        : PlayerShotBase(owner), size_(size), kind_(kind), group_(group) {
        SetPosition(at.x, at.y);
        SetHitShapeActive(true);
    }
    void Update() override {
        SetHitBox(0, 0, size_, size_);
        GetOwner()->RegisterCollision(group_, this);
    }
    uint32_t GetKind() const override { return kind_; }
    uint32_t GetCollisionGroup() const override { return group_; }
    int16_t GetAttackPower() const override { return 0; }
    uint32_t GetWeaponFamily() const override { return kFamilyShot; }

private:
    int16_t size_;
    uint32_t kind_;
    uint32_t group_;
};

class FiringStage {
public:
    FiringStage() {
        rig_.work->mode = kMode;
        rig_.work->stage = 0;
        Shape(*rig_.work);
        GameObjectDirector* director = rig_.Play();
        // The bullet sheets of the sample data.
        for (uint32_t slot = 0; slot < 2; ++slot) {
            const auto dds = SampleData::SolidDds(512, 512, {150, 60, 200});
            director->GetResources()->bulletTextures[slot] =
                Mireku::Graphics::CreateTextureFromMemory(dds.data(),
                                                          static_cast<uint32_t>(dds.size()),
                                                          Mireku::Graphics::kTextureFormatFromFile);
        }
        for (int i = 0; i < kEnemies; ++i)
            if (Gunner* g = GameObject::Create<Gunner>(director, director, kEnemyRow))
                g->SetPosition(-325.0f + 50.0f * i, 20.0f);
        // The ship's 3 by 3 box and a strong weapon's 120 by 120 box.
        GameObject::Create<Target>(director, director, Vector2{0.0f, 600.0f}, int16_t{3},
                                   uint32_t{GameObject::kKindPlayer}, uint32_t{2});
        GameObject::Create<Target>(director, director, Vector2{-150.0f, 450.0f}, int16_t{120},
                                   uint32_t{GameObject::kKindPlayerShot}, uint32_t{4});
    }

    void Frame() { rig_.Frame(); }
    uint32_t Bullets() const {
        uint32_t n = 0;
        for (GameObject* c = rig_.director->GetFirstChild(); c; c = c->GetNextSibling())
            n += c->GetKind() == GameObject::kKindEnemyShot && c->IsAlive();
        return n;
    }

private:
    // No timeline; enemy row kEnemyRow with one emitter that fires two ways
    // over 90 degrees downwards every other frame, for good.
    static void Shape(GlobalWork& gw) {
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

    bench::StageRig rig_;
};

void BM_EnemyFireFrame(benchmark::State& state) {
    FiringStage stage;
    for (int i = 0; i < 600; ++i) // the field fills and settles
        stage.Frame();
    const uint64_t news = bench::AllocationCount();
    const uint32_t blocks = bench::HeapBlocksInUse();
    uint64_t bullets = 0, frames = 0;
    for (auto _ : state) {
        stage.Frame();
        bullets += stage.Bullets();
        ++frames;
    }
    // Read before the counters are set: setting them allocates.
    const uint64_t allocations = bench::AllocationCount() - news;
    const double gained =
        static_cast<double>(bench::HeapBlocksInUse()) - static_cast<double>(blocks);
    state.counters["bullets"] = frames ? static_cast<double>(bullets) / frames : 0.0;
    state.counters["global_allocations"] = static_cast<double>(allocations);
    state.counters["heap_blocks_gained"] = gained;
}
BENCHMARK(BM_EnemyFireFrame)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
