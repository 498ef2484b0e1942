#include "engine/common/Heap.h"
#include "game/core/tables/BossRecord.h"
#include "game/enemy/boss01/BossCreation.h"
#include "game/enemy/boss01/EnemyBoss01.h"
#include "game/enemy/boss01/EnemyBossBarrel.h"
#include "game/enemy/common/EnemyBase.h"
#include "game/enemy/shot/EnemyShotDefault.h"
#include "game/enemy/shot/EnemyShotRegistry.h"
#include "support/StageRig.h"

#include <cmath>
#include <numbers>
#include <random>

namespace {

using namespace stage_test;

constexpr float kDeg = std::numbers::pi_v<float> / 180.0f;
constexpr int32_t kType = 3;     // the enemy row the tests give a grid of their own
constexpr uint32_t kEmitter = 5; // the emitter row they shape
constexpr uint32_t kMode = 1;

// An enemy as the enemy classes run one: its emitters every update.
class Firing : public EnemyBase {
public:
    Firing(GameObjectDirector* owner, int32_t row, uint8_t registerShots = 0)
        : EnemyBase(owner, row), register_(registerShots) {}
    void Update() override { UpdateEmitters(register_); }

private:
    uint8_t register_;
};

class EmitterGridTest : public StageTest {
protected:
    void SetUp() override {
        StageTest::SetUp();
        // Row kType: one mount point at (4, 8) with emitter kEmitter.
        EnemyRecord& row = EnemyRow(kType);
        row.grid = {};
        row.grid.mounts[0] = {4, 8, {static_cast<int16_t>(kEmitter)}};
        EmitterParamRow& e = Emitter(kEmitter);
        e = {};
        e.number = kEmitter;
        e.bullet = 1;
        e.lifetime = 1000;
        e.preFireWait = 10;
        e.rest = 60;
        e.shotsPerBurst = 3;
        e.shotGap = 4;
        e.speed = 0; // the shots stay where they are fired
        e.direction = 90;
        e.ways = 1;
        WriteEmptyMap(0, 45); // the shots fly the whole field
        Play(kMode, 0);
    }
    EnemyRecord& EnemyRow(int32_t type) {
        return *world.gw->tables.enemy[kMode * GameTables::kStageCount].MutableAt<EnemyRecord>(
            static_cast<uint32_t>(type));
    }
    EmitterParamRow& Emitter(uint32_t number) {
        return *world.gw->tables.ebss[kMode].MutableAt<EmitterParamRow>(number - 1);
    }
    Firing* Enemy(float x = 0.0f, float y = 100.0f, uint8_t registerShots = 0) {
        Firing* e = Make<Firing>(kType, registerShots);
        e->SetPosition(x, y);
        return e;
    }
    std::vector<EnemyShotDefault*> Shots() const { return ChildrenOf<EnemyShotDefault>(); }
    // The director's frames at which shots appeared, over `frames` frames.
    std::vector<uint32_t> FireFrames(int frames) {
        std::vector<uint32_t> at;
        size_t before = Shots().size();
        for (int i = 0; i < frames; ++i) {
            Frame();
            const size_t now = Shots().size();
            for (size_t k = before; k < now; ++k)
                at.push_back(director->GetFrameCounter());
            before = now;
        }
        return at;
    }
};

} // namespace

TEST_F(EmitterGridTest, TheGridComesFromTheRowsMountPointsAndCells) {
    EnemyRecord& row = EnemyRow(kType);
    row.grid.mounts[3] = {-20, 30, {0, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9}};
    row.grid.mounts[9].emitters[11] = 48; // the table's last row
    row.grid.mounts[9].emitters[0] = 49;  // past the table: none
    row.grid.mounts[9].emitters[1] = -4;  // not positive: none
    Firing* e = Enemy();
    EXPECT_EQ(e->CountEmitters(), 4u);
    const EbssEmitter* a = e->GetEmitter(3, 1);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->offsetX, -20);
    EXPECT_EQ(a->offsetY, 30);
    EXPECT_EQ(a->number, 7);
    EXPECT_EQ(a->row, world.gw->tables.EmitterRow(kMode, 7));
    EXPECT_EQ(a->state, EbssEmitter::kStartWait);
    EXPECT_EQ(a->startFrame, director->GetFrameCounter());
    EXPECT_EQ(a->endFrame, static_cast<int64_t>(a->startFrame) + a->row->lifetime);
    EXPECT_EQ(a->shotsLeft, a->row->shotsPerBurst);
    EXPECT_NE(e->GetEmitter(3, 11), nullptr);
    EXPECT_NE(e->GetEmitter(9, 11), nullptr);
    EXPECT_EQ(e->GetEmitter(9, 0), nullptr);
    EXPECT_EQ(e->GetEmitter(9, 1), nullptr);
    EXPECT_EQ(e->GetEmitter(3, 0), nullptr);
    EXPECT_EQ(e->GetEmitter(10, 0), nullptr);
}

TEST_F(EmitterGridTest, BurstsOfThreeWithGapFourRestSixtyAndPreFireTen) {
    Enemy();
    const std::vector<uint32_t> at = FireFrames(200);
    // The first cycle starts on the first step (frame 1); t = 1 + 10.
    const uint32_t t = 11;
    ASSERT_GE(at.size(), 6u);
    EXPECT_EQ(at[0], t);
    EXPECT_EQ(at[1], t + 5);
    EXPECT_EQ(at[2], t + 10);
    EXPECT_EQ(at[3], t + 80);
    EXPECT_EQ(at[4], t + 85);
    EXPECT_EQ(at[5], t + 90);
}

TEST_F(EmitterGridTest, TheStartWaitCountsFromTheEmittersCreation) {
    Emitter(kEmitter).startWait = 25;
    Frames(7);
    Enemy(); // made at frame 7
    const std::vector<uint32_t> at = FireFrames(60);
    ASSERT_FALSE(at.empty());
    EXPECT_EQ(at[0], 7u + 25 + 10);
}

TEST_F(EmitterGridTest, ALifetimeOfZeroWorksOnlyInItsCreationFrame) {
    EmitterParamRow& row = Emitter(kEmitter);
    row.lifetime = 0;
    row.preFireWait = 0;
    Firing* e = Make<Firing>(kType, uint8_t{0});
    e->UpdateEmitters(0); // the first cycle begins: the shot is due at once
    EXPECT_EQ(e->GetEmitter(0, 0)->state, EbssEmitter::kFire);
    e->UpdateEmitters(0); // still the creation frame: it fires
    EXPECT_EQ(Shots().size(), 1u);
    EXPECT_TRUE(FireFrames(100).empty()) << "a frame later the emitter is over";

    // Made and first stepped in different frames, it never fires at all.
    Firing* late = Make<Firing>(kType, uint8_t{0});
    Frame();
    EXPECT_EQ(late->GetEmitter(0, 0)->state, EbssEmitter::kStartWait);
}

TEST_F(EmitterGridTest, ANegativeLifetimeEndsBeforeItBegins) {
    // End = start + lifetime: below the start, never past the counter's wrap.
    Emitter(kEmitter).lifetime = -5;
    Emitter(kEmitter).preFireWait = 0;
    Firing* e = Enemy();
    EXPECT_EQ(e->GetEmitter(0, 0)->endFrame,
              static_cast<int64_t>(e->GetEmitter(0, 0)->startFrame) - 5);
    EXPECT_TRUE(FireFrames(50).empty());
    EXPECT_EQ(e->GetEmitter(0, 0)->state, EbssEmitter::kStartWait);
}

TEST_F(EmitterGridTest, WaysSpreadAcrossTheSpreadOrFlyAlongTheDirection) {
    struct Case {
        int16_t ways, spread;
        std::vector<float> degrees;
    };
    for (const Case& c :
         {Case{1, 30, {90.0f}}, Case{3, 30, {75.0f, 90.0f, 105.0f}},
          Case{5, 40, {70.0f, 80.0f, 90.0f, 100.0f, 110.0f}}, Case{2, 90, {45.0f, 135.0f}}}) {
        SCOPED_TRACE(c.ways);
        Emitter(kEmitter).ways = c.ways;
        Emitter(kEmitter).spread = c.spread;
        Firing* e = Enemy(-50.0f, 120.0f);
        for (int i = 0; i < 11 && Shots().size() < c.degrees.size(); ++i)
            Frame();
        const std::vector<EnemyShotDefault*> shots = Shots();
        ASSERT_EQ(shots.size(), c.degrees.size());
        for (size_t k = 0; k < shots.size(); ++k) {
            EXPECT_NEAR(shots[k]->GetMotionAngle(), c.degrees[k] * kDeg, 1e-5f) << k;
            EXPECT_EQ(shots[k]->GetSource(), e);
            EXPECT_EQ(shots[k]->GetBullet(), 1);
            // From the mount point: the enemy's position + (4, 8).
            EXPECT_EQ(*shots[k]->GetPosition(), (Vector2{-46.0f, 128.0f}));
        }
        for (EnemyShotDefault* s : shots)
            s->Vanish();
        e->Vanish();
        Frames(4);
    }
}

TEST_F(EmitterGridTest, ARotatingEmitterNeverAimsAndTurnsEitherWay) {
    EmitterParamRow& row = Emitter(kEmitter);
    row.aimed = 1;
    row.rotating = 1;
    row.rotationStep = 10;
    row.shotsPerBurst = 4;
    Enemy(200.0f, 300.0f);
    FireFrames(30);
    std::vector<EnemyShotDefault*> shots = Shots();
    ASSERT_EQ(shots.size(), 4u);
    for (size_t k = 0; k < 4; ++k)
        EXPECT_NEAR(shots[k]->GetMotionAngle(), (90.0f + 10.0f * k) * kDeg, 1e-5f) << k;

    for (EnemyShotDefault* s : shots)
        s->Vanish();
    Frames(4);
    row.rotateBack = 1;
    Enemy(200.0f, 300.0f);
    FireFrames(30);
    shots = Shots();
    ASSERT_EQ(shots.size(), 4u);
    for (size_t k = 0; k < 4; ++k)
        EXPECT_NEAR(shots[k]->GetMotionAngle(), (90.0f - 10.0f * k) * kDeg, 1e-5f) << k;
}

TEST_F(EmitterGridTest, AimedShotsAimAtTheShipOncePerBurstWhenAsked) {
    EmitterParamRow& row = Emitter(kEmitter);
    row.aimed = 1;
    Player* ship = PlaceShip({100.0f, 600.0f});
    Firing* e = Enemy(-100.0f, 100.0f);
    FireFrames(11); // the first shot
    ASSERT_EQ(Shots().size(), 1u);
    // From the mount point (-96, 108) to the ship.
    EXPECT_NEAR(Shots()[0]->GetMotionAngle(), std::atan2(600.0f - 108.0f, 196.0f), 1e-5f);
    ship->SetPosition(-96.0f, 400.0f); // straight below the mount point
    FireFrames(5);
    ASSERT_EQ(Shots().size(), 2u);
    EXPECT_NEAR(Shots()[1]->GetMotionAngle(), std::numbers::pi_v<float> / 2, 1e-5f);

    // Once per burst: the later shots of a burst keep the burst's aim.
    for (EnemyShotDefault* s : Shots())
        s->Vanish();
    e->Vanish();
    Frames(4);
    row.aimOnce = 1;
    ship->SetPosition(100.0f, 600.0f);
    Enemy(-100.0f, 100.0f);
    FireFrames(11);
    ship->SetPosition(-96.0f, 400.0f);
    FireFrames(10);
    const std::vector<EnemyShotDefault*> shots = Shots();
    ASSERT_EQ(shots.size(), 3u);
    for (EnemyShotDefault* s : shots)
        EXPECT_NEAR(s->GetMotionAngle(), std::atan2(600.0f - 108.0f, 196.0f), 1e-5f);
    FireFrames(70); // the next burst aims again
    ASSERT_EQ(Shots().size(), 4u);
    EXPECT_NEAR(Shots()[3]->GetMotionAngle(), std::numbers::pi_v<float> / 2, 1e-5f);
}

TEST_F(EmitterGridTest, ShotsSpeedUpThroughABurstAndStartAgainAfterTheRest) {
    EmitterParamRow& row = Emitter(kEmitter);
    row.speed = 3;
    row.speedStep = 5; // half a unit per shot
    Enemy(0.0f, 60.0f);
    FireFrames(95);
    const std::vector<EnemyShotDefault*> shots = Shots();
    ASSERT_EQ(shots.size(), 4u);
    EXPECT_FLOAT_EQ(shots[0]->GetSpeed(), 3.0f);
    EXPECT_FLOAT_EQ(shots[1]->GetSpeed(), 3.5f);
    EXPECT_FLOAT_EQ(shots[2]->GetSpeed(), 4.0f);
    EXPECT_FLOAT_EQ(shots[3]->GetSpeed(), 3.0f) << "the rest clears the accumulator";
}

TEST_F(EmitterGridTest, ZeroWaysFireNothingButStillAccumulate) {
    EmitterParamRow& row = Emitter(kEmitter);
    row.ways = 0;
    row.speedStep = 3;
    row.rotating = 1;
    row.rotationStep = 7;
    Firing* e = Enemy();
    FireFrames(25);
    EXPECT_TRUE(Shots().empty());
    const EbssEmitter* em = e->GetEmitter(0, 0);
    EXPECT_EQ(em->state, EbssEmitter::kRest);
    EXPECT_FLOAT_EQ(em->speedAccumulator, 3 * 0.3f);
    EXPECT_NEAR(em->rotationAccumulator, 3 * 7 * kDeg, 1e-6f);
}

TEST_F(EmitterGridTest, RandomDelaysAndDirectionsComeFromThePlayStream) {
    EmitterParamRow& row = Emitter(kEmitter);
    row.randomDelay = 20;
    row.randomDirection = 1;
    row.ways = 3;
    row.spread = 60;
    row.shotsPerBurst = 1;
    Mireku::Common::Random expected = world.random->Stream(RandomManager::kPlay);
    Firing* e = Enemy();
    Frame(); // the first step: the delay
    const int32_t delay = expected.Range(0, 60);
    EXPECT_EQ(e->GetEmitter(0, 0)->nextFrame, 1u + 10u + static_cast<uint32_t>(delay));
    const auto at = FireFrames(70);
    ASSERT_EQ(at.size(), 3u);
    EXPECT_EQ(at[0], 11u + static_cast<uint32_t>(delay));
    for (EnemyShotDefault* s : Shots()) {
        const float angle = 60.0f * kDeg + 60.0f * kDeg * expected.RangeFloat(0.0f, 1.0f);
        EXPECT_NEAR(s->GetMotionAngle(), angle, 1e-5f);
    }
    // Delays outside 1-100 are none.
    row.randomDelay = -5;
    const Mireku::Common::Random before = world.random->Stream(RandomManager::kPlay);
    Firing* f = Enemy();
    Frame();
    EXPECT_EQ(world.random->Stream(RandomManager::kPlay).x, before.x);
    EXPECT_EQ(f->GetEmitter(0, 0)->nextFrame, director->GetFrameCounter() + 10u);
}

TEST_F(EmitterGridTest, ShotsEnterTheRegistryOnlyWhenAskedAndLeaveItInOrder) {
    Firing* plain = Enemy(-100.0f);
    FireFrames(11);
    ASSERT_EQ(Shots().size(), 1u);
    EXPECT_FALSE(Shots()[0]->IsRegistered());
    EXPECT_EQ(EnemyShotRegistry::Count(), 0u);
    plain->Vanish();

    EmitterParamRow& row = Emitter(kEmitter);
    row.ways = 3;
    row.spread = 20;
    Enemy(100.0f, 100.0f, 1);
    Frames(11);
    std::vector<EnemyShotDefault*> shots = Shots();
    ASSERT_EQ(shots.size(), 4u);
    ASSERT_EQ(EnemyShotRegistry::Count(), 3u);
    for (uint32_t i = 0; i < 3; ++i)
        EXPECT_EQ(EnemyShotRegistry::At(i), shots[1 + i]);
    shots[2]->Vanish();
    Frames(4); // its countdown, then the director deletes it
    ASSERT_EQ(EnemyShotRegistry::Count(), 2u);
    EXPECT_EQ(EnemyShotRegistry::At(0), shots[1]);
    EXPECT_EQ(EnemyShotRegistry::At(1), shots[3]);
    DeleteDirector();
    EXPECT_EQ(EnemyShotRegistry::Count(), 0u) << "a stage torn down leaves no entry";
}

TEST_F(EmitterGridTest, ABulletWithoutItsRowIsNoBulletButTheShotStillCounts) {
    EmitterParamRow& row = Emitter(kEmitter);
    row.bullet = 8; // past the 8 bullet rows
    row.speedStep = 2;
    Firing* e = Enemy();
    FireFrames(12);
    EXPECT_TRUE(Shots().empty());
    EXPECT_EQ(e->GetEmitter(0, 0)->shotsLeft, 2);
    EXPECT_FLOAT_EQ(e->GetEmitter(0, 0)->speedAccumulator, 0.2f);
}

TEST_F(EmitterGridTest, TheSecondFormOfTheFirstLoopFiresTheFirstLoopsEmitters) {
    const uint32_t k = world.gw->tables.ebssSecondBase[kMode];
    ASSERT_GT(k, 0u);
    // The second form's part rows were moved to the second loop's section.
    const BossRecord* part =
        world.gw->tables.BossRow(kMode, EnemyBoss01::kSecondFormGroup * 25 + 1);
    ASSERT_NE(part, nullptr);
    const int16_t stored = part->grid.mounts[0].emitters[0];
    ASSERT_GT(stored, static_cast<int16_t>(k));
    struct Case {
        uint32_t stage, group;
        int32_t number;
    };
    for (const Case c :
         {Case{11, 25, stored - static_cast<int32_t>(k)}, Case{23, 25, stored}, Case{11, 11, -1}}) {
        SCOPED_TRACE(c.stage);
        world.gw->stage = c.stage;
        auto* barrel = Make<EnemyBossBarrel>(292, Vector2{}, 1u, c.group);
        const int32_t expect =
            c.number >= 0
                ? c.number
                : world.gw->tables.BossRow(kMode, c.group * 25 + 1)->grid.mounts[0].emitters[0];
        ASSERT_NE(barrel->GetEmitter(0, 0), nullptr);
        EXPECT_EQ(barrel->GetEmitter(0, 0)->number, expect);
        barrel->Vanish();
    }
    world.gw->stage = 0;
}

// Bosses and enemies built from random rows and emitter numbers, every
// table in an engine-heap block of its exact size (poisoned around it under
// ASan): nothing is read outside a row.
TEST_F(EmitterGridTest, RandomRowsAndNumbersStayInsideTheirTables) {
    std::mt19937 rng(20261206);
    auto scramble = [&](TableBlob& blob, uint32_t rowSize, uint32_t rows) {
        if (blob.data)
            Mireku::Common::Heap::LockedFree(blob.data);
        blob.size = rowSize * rows;
        blob.data =
            static_cast<uint8_t*>(Mireku::Common::Heap::LockedAlloc(blob.size ? blob.size : 1));
        ASSERT_NE(blob.data, nullptr);
        for (uint32_t i = 0; i < blob.size; ++i)
            blob.data[i] = static_cast<uint8_t>(rng());
    };
    GameTables& t = world.gw->tables;
    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE(round);
        scramble(t.enemy[kMode * GameTables::kStageCount], sizeof(EnemyRecord), 1 + rng() % 12);
        scramble(t.boss[kMode], sizeof(BossRecord), 1 + rng() % 60);
        scramble(t.ebss[kMode], sizeof(EmitterParamRow), 1 + rng() % 30);
        scramble(t.bullet[kMode], sizeof(BulletParamRow), 1 + rng() % 6);
        scramble(t.ebssResIndex, sizeof(ResourceIndexEntry), 1 + rng() % 6);
        // The lifetimes and waits of random rows are mostly far off; make some short.
        for (uint32_t r = 0; r < t.ebss[kMode].Count<EmitterParamRow>(); ++r) {
            EmitterParamRow* e = t.ebss[kMode].MutableAt<EmitterParamRow>(r);
            if (r % 2 == 0) {
                e->startWait = static_cast<int16_t>(rng() % 8);
                e->preFireWait = static_cast<int16_t>(rng() % 8);
                e->shotGap = static_cast<int16_t>(rng() % 4);
                e->rest = static_cast<int16_t>(rng() % 8);
                e->lifetime = 300;
                e->ways = static_cast<int16_t>(rng() % 9 - 1);
            }
        }
        // Emitter numbers around and past the table.
        for (uint32_t r = 0; r < t.enemy[kMode * GameTables::kStageCount].Count<EnemyRecord>();
             ++r) {
            EnemyRecord* e = t.enemy[kMode * GameTables::kStageCount].MutableAt<EnemyRecord>(r);
            for (EmitterMount& m : e->grid.mounts)
                for (int16_t& n : m.emitters)
                    n = static_cast<int16_t>(static_cast<int32_t>(rng() % 40) - 4);
        }
        for (uint32_t type = 0; type < 14; ++type)
            if (EnemyBase* e = GameObject::Create<Firing>(director, director,
                                                          static_cast<int32_t>(type), uint8_t{1}))
                e->SetPosition(static_cast<float>(rng() % 600) - 300.0f,
                               static_cast<float>(rng() % 700));
        for (uint32_t group = 0; group < 4; ++group)
            CreateEnemyBoss(director, 280 + static_cast<int32_t>(group), group);
        for (int f = 0; f < 40; ++f) {
            Frame();
            for (EnemyBossBarrel* p : ChildrenOf<EnemyBossBarrel>())
                p->UpdateEmitters(1);
        }
        DeleteDirector();
        Play(kMode, 0);
    }
}
