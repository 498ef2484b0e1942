// The first boss and its parts on the sample stage files: descent, wait,
// the fight's orbit and time limit, hits and rewards, the parts opening and
// paying, damage past 16 bits, the fall, the second form and the story
// hand-over, and drawing.
#include "game/enemy/boss01/BossCreation.h"
#include "game/enemy/boss01/EnemyBoss01.h"
#include "game/enemy/boss01/EnemyBossBarrel.h"
#include "game/enemy/explosion/EnemyDeadBomb.h"
#include "game/enemy/explosion/EnemyShotDelete.h"
#include "game/enemy/item/ItemGrabuster.h"
#include "game/enemy/item/ItemHyperio.h"
#include "game/enemy/shot/EnemyShotDefault.h"
#include "game/enemy/staging/StageClearDirection.h"
#include "support/StageRig.h"
#include "tools/sampledata/GameTableData.h"

#include <cmath>

namespace {

using namespace stage_test;
using B = EnemyBoss01;

class BossTest : public StageTest {
protected:
    // The stage's boss of `type`, on the sample stage files.
    B* Boss(uint32_t stage, int32_t type) {
        WriteStageFiles(stage);
        Play(1, stage);
        return static_cast<B*>(CreateEnemyBoss(director, type, stage));
    }
    BossRecord& BossRow(uint32_t group, uint32_t index) {
        return *world.gw->tables.boss[1].MutableAt<BossRecord>(group * 25 + index);
    }
    std::vector<EnemyBossBarrel*> Parts() const { return ChildrenOf<EnemyBossBarrel>(); }
    // Frames (drawn, so that the gauges fill) until the body fights.
    void ToFight(B* b) {
        for (int i = 0; i < 400 && b->GetState() != B::kFight; ++i)
            Frame();
        ASSERT_EQ(b->GetState(), B::kFight);
    }
    // Frames while the body stays in `state` and alive; how many ran.
    int While(B* b, int32_t state, int limit = 2000) {
        int n = 0;
        for (; b->IsAlive() && b->GetState() == state && n < limit; ++n)
            Frame();
        return n;
    }
    // Stage 11's first form, shot down; the second form once it is there.
    B* SecondForm() {
        B* first = Boss(11, 291);
        ToFight(first);
        Hit(first, first->GetHealth());
        for (int i = 0; i < 400 && Count<B>() < 2; ++i)
            Frame();
        return Count<B>() == 2 ? ChildrenOf<B>()[1] : nullptr;
    }
    BossGauge& gauge = BossGauge::Shared();
};

} // namespace

TEST_F(BossTest, TheBodyComesDownSettlesAndWaitsForFullGauges) {
    B* b = Boss(0, 280);
    ASSERT_NE(b, nullptr);
    const SampleData::SampleBossLayout look = SampleData::BossLayout(0);
    EXPECT_EQ(b->GetKind(), GameObject::kKindEnemy);
    EXPECT_EQ(b->GetCollisionGroup(), 6u);
    EXPECT_TRUE(Near({float(b->GetSpriteWidth()), float(b->GetSpriteHeight()),
                      float(b->GetHitWidth()), float(b->GetHitHeight())},
                     {float(look.bodyWidth), float(look.bodyHeight), float(look.coreWidth),
                      float(look.coreHeight)}));
    const float h = static_cast<float>(look.bodyHeight);
    const float home = -32.0f - h / 2;
    EXPECT_EQ(b->GetHome().y, home);
    EXPECT_EQ(*b->GetPosition(), (Vector2{0.0f, home}));
    EXPECT_EQ(b->GetState(), B::kDescend);
    EXPECT_EQ(b->GetTimeLeft(), 7200);
    EXPECT_EQ(b->GetTurnDirection(), -1) << "an even score";
    EXPECT_EQ(gauge.bossGaugeVisible, 1);
    EXPECT_EQ(gauge.bossGaugeState, BossGauge::kFilling);
    EXPECT_EQ(gauge.bossHealthMax, 24000.0f);
    EXPECT_EQ(gauge.bossPartCount, look.parts);
    ASSERT_EQ(Parts().size(), static_cast<size_t>(look.parts));
    EXPECT_EQ(gauge.bossPartHealthMax[0], 800.0f);
    EXPECT_EQ(gauge.bossPartHealth[0], 0.0f);
    EXPECT_EQ(Parts()[0]->GetParent(), b);
    // 48 updates down, 12 to settle, without the gauges drawn.
    const std::pair<int, int32_t> steps[] = {
        {47, B::kDescend}, {1, B::kSettle}, {11, B::kSettle}, {1, B::kWait}};
    for (const auto& [n, state] : steps) {
        UpdateChildren(n);
        EXPECT_EQ(b->GetState(), state);
        if (n == 1) {
            EXPECT_FLOAT_EQ(b->GetPosition()->y, home + h + (state == B::kSettle ? 10.0f : 0.0f));
        }
    }
    // Each part sits at its row's offsets from the body's top-left corner;
    // the hit area is the core at the row's offsets.
    int px = 0, py = 0;
    SampleData::BossPartOffset(0, 1, &px, &py);
    EXPECT_TRUE(Near({Parts()[0]->GetPosition()->x, Parts()[0]->GetPosition()->y},
                     {-look.bodyWidth / 2.0f + px + look.partWidth / 2.0f,
                      home + h / 2 + py + look.partHeight / 2.0f}));
    const HitShape& box = *b->GetHitShape();
    EXPECT_FALSE(b->IsHitShapeActive());
    EXPECT_TRUE(Near({box.minX, box.maxY - box.minY},
                     {360.0f - look.bodyWidth / 2.0f + (look.bodyWidth - look.coreWidth) / 2,
                      float(look.coreHeight)}));
    UpdateChildren(100);
    EXPECT_EQ(b->GetState(), B::kWait) << "the gauges fill only as the display draws them";
    const uint32_t opened = Sounds(51), fight = Sounds(50);
    int frames = 0;
    for (; gauge.bossGaugeState != BossGauge::kFull && frames < 200; ++frames)
        Frame();
    EXPECT_GE(frames, 60) << "the gauges fill by a sixtieth a drawn frame";
    EXPECT_EQ(b->GetState(), B::kWait);
    Frame();
    EXPECT_EQ(b->GetState(), B::kFight) << "the first update with full gauges opens it";
    EXPECT_EQ(b->GetFlag(), 1);
    EXPECT_EQ(Sounds(50), fight + 1);
    EXPECT_EQ(Sounds(52), 1u);
    EXPECT_FALSE(Parts()[0]->GetFlag()) << "parts open on the next update";
    Frame();
    EXPECT_TRUE(b->IsHitShapeActive());
    EXPECT_TRUE(Parts()[0]->GetFlag()) << "threshold 100 opens with the fight";
    EXPECT_TRUE(Parts()[0]->IsFiring());
    EXPECT_FALSE(Parts()[1]->GetFlag());
    EXPECT_EQ(Sounds(51), opened) << "silently";
}

TEST_F(BossTest, BeforeTheFightAHundredPercentPartErasesTheBulletsEveryUpdate) {
    ASSERT_NE(Boss(0, 280), nullptr);
    for (int i = 0; i < 3; ++i) {
        TestEnemyShot* s = Make<TestEnemyShot>(Vector2{0, 300});
        UpdateChildren();
        EXPECT_FALSE(s->IsAlive()) << i;
    }
    EXPECT_GE(Count<EnemyShotDelete>(), 3u);
}

TEST_F(BossTest, HitsCountOnlyFromPlayerWeaponsAndTheLastOneDestroys) {
    B* b = Boss(0, 280);
    ToFight(b);
    Frame();
    TestEnemyShot enemyShot(director, {0, 0});
    b->OnCollision(&enemyShot);
    EXPECT_EQ(b->GetDamage(), 0);
    const uint32_t hitSound = Sounds(60);
    Hit(b, 1200);
    EXPECT_EQ(b->GetDamage(), 1200);
    EXPECT_EQ(gauge.bossHealthShown, 22800.0f);
    EXPECT_EQ(b->GetHealthPercent(), 95);
    EXPECT_EQ(Sounds(60), hitSound + 1);
    EXPECT_EQ(b->GetFlag(), 1);
    Work().barionGauge = 0;
    const uint64_t score = Work().score;
    const size_t bombs = Count<EnemyDeadBomb>();
    Hit(b, 22800); // exactly the hit points
    EXPECT_EQ(b->GetFlag(), 0);
    EXPECT_FALSE(b->IsHitShapeActive());
    EXPECT_EQ(gauge.bossHealthShown, 0.0f);
    EXPECT_EQ(Work().score, score + 100000);
    EXPECT_EQ(Work().invincibleTimer, 60);
    EXPECT_EQ(Work().invincible, 1);
    EXPECT_EQ(Work().barionGauge, 200) << "a fifth of the ship's gauge maximum";
    EXPECT_EQ(Sounds(54), 1u);
    EXPECT_EQ(director->GetHud().GetShakeFrames(), 15);
    EXPECT_EQ(Count<EnemyDeadBomb>(), bombs + 1);
    EXPECT_EQ(ChildrenOf<EnemyDeadBomb>().back()->GetSize(), 2u);
    Hit(b, 5000); // overkill: the gauge never goes below 0
    EXPECT_EQ(gauge.bossHealthShown, 0.0f);
    // The next update: the fall begins, the parts explode, the shots go.
    Make<TestEnemyShot>(Vector2{0, 300});
    Frame();
    EXPECT_EQ(b->GetState(), B::kFalling);
    for (EnemyBossBarrel* p : Parts())
        EXPECT_FALSE(p->IsAlive());
    EXPECT_TRUE(director->GetTally().IsActive());
    EXPECT_FALSE(director->GetTally().IsHighRate());
    EXPECT_EQ(LiveCount<TestEnemyShot>(), 0u);
    EXPECT_EQ(b->GetTurnDirection(), -1);
}

TEST_F(BossTest, KillRewardsFollowTheWeaponFamily) {
    struct Case {
        uint32_t family;
        uint64_t score;
        bool hyperio;
    };
    for (const Case c :
         {Case{PlayerShotBase::kFamilyBarionLaser, 100000, true},
          Case{PlayerShotBase::kFamilyBarionShield, 100000, false},
          Case{PlayerShotBase::kFamilyGrabuster, 128 * 100000ull, false}, Case{7, 0, false}}) {
        SCOPED_TRACE(c.family);
        B* b = Boss(0, 280);
        ToFight(b);
        Work().grabusterHits = 24; // the next is the 25th: level 2
        Work().barionGauge = 0;
        const uint64_t score = Work().score;
        Hit(b, 24000, c.family, 1.25f);
        EXPECT_EQ(b->GetFlag(), 0) << "destroyed whatever the family";
        EXPECT_EQ(Work().score - score, c.score);
        EXPECT_EQ(Count<ItemHyperio>(), c.hyperio ? 1u : 0u);
        EXPECT_EQ(b->shotsToHyperio, c.family == PlayerShotBase::kFamilyBarionLaser);
        EXPECT_EQ(b->shotsToGrabuster, c.family == PlayerShotBase::kFamilyGrabuster);
        EXPECT_EQ(Work().barionGauge, 0);
        if (c.hyperio) {
            EXPECT_EQ(ChildrenOf<ItemHyperio>()[0]->GetState(), ItemHyperio::kFloat)
                << "made without its appearance";
            EXPECT_EQ(ChildrenOf<EnemyDeadBomb>().back()->GetAngle(), 1.25f)
                << "turned along the laser";
        }
        if (c.family == PlayerShotBase::kFamilyGrabuster) {
            EXPECT_EQ(Work().grabusterHits, 25u);
        }
        DeleteDirector();
    }
}

// A part shot off by the laser or the Grabuster turns the shots it left in
// the air into items of that weapon at their next update, one each; the
// Grabuster's are numbered by the part's own counter at its chain level.
TEST_F(BossTest, APartsShotsTurnIntoItemsOfTheWeaponThatShotItOff) {
    for (const uint32_t family :
         {PlayerShotBase::kFamilyBarionLaser, PlayerShotBase::kFamilyGrabuster}) {
        SCOPED_TRACE(family);
        B* b = Boss(0, 280);
        ToFight(b);
        Frame();
        EnemyBossBarrel* p = Parts()[0];
        for (float x : {-40.0f, 0.0f, 40.0f})
            Make<EnemyShotDefault>(p, 0, Vector2{x, 300.0f});
        Work().grabusterHits = 34; // the kill is the 35th: level 3
        const size_t hyperio = Count<ItemHyperio>();
        Hit(p, 5000, family);
        UpdateChildren();
        EXPECT_EQ(LiveCount<EnemyShotDefault>(), 0u);
        if (family == PlayerShotBase::kFamilyBarionLaser) {
            EXPECT_EQ(Count<ItemHyperio>(), hyperio + 1 + 3) << "the part's and one a shot";
        } else {
            const std::vector<ItemGrabuster*> items = ChildrenOf<ItemGrabuster>();
            ASSERT_EQ(items.size(), 3u);
            for (uint32_t i = 0; i < 3; ++i) {
                EXPECT_EQ(items[i]->GetDelay(), i);
                EXPECT_EQ(items[i]->GetChainLevel(), 3u);
            }
        }
        DeleteDirector();
    }
}

// Damage adds up past 65535 for a body and for a part: a body or part of
// more hit points than that can be destroyed, and a heavy hit on a nearly
// spent one finishes it instead of wrapping its damage back to little.
TEST_F(BossTest, DamagePast65535StillDestroysBodiesAndParts) {
    struct Row {
        bool part;
        int32_t health;
        int hits[3];
        float shownAfterTwo;
    };
    for (const Row r : {Row{false, 70000, {30000, 30000, 30000}, 10000.0f},
                        Row{true, 70000, {30000, 30000, 30000}, 10000.0f},
                        Row{true, 60000, {25000, 25000, 20000}, 10000.0f}}) {
        SCOPED_TRACE(testing::Message() << (r.part ? "part of " : "body of ") << r.health);
        // Stage 1's body has 70000 hit points; stage 0's first part is
        // given its own.
        const uint32_t stage = r.part ? 0 : 1;
        WriteStageFiles(stage);
        Play(1, stage);
        if (r.part)
            BossRow(0, 1).health = r.health;
        B* b = static_cast<B*>(CreateEnemyBoss(director, 280 + static_cast<int32_t>(stage), stage));
        ToFight(b);
        Frame();
        GameObject* target = r.part ? static_cast<GameObject*>(Parts()[0]) : b;
        ASSERT_TRUE(target->IsHitShapeActive());
        ASSERT_EQ(r.part ? r.health : b->GetHealth(), r.health);
        const uint32_t kills = Sounds(102);
        const uint64_t score = Work().score;
        const auto shown = [&] { return r.part ? gauge.bossPartHealth[0] : gauge.bossHealthShown; };
        Hit(target, r.hits[0]);
        Hit(target, r.hits[1]);
        EXPECT_EQ(shown(), r.shownAfterTwo) << "a 16-bit count would have wrapped";
        EXPECT_TRUE(r.part ? target->IsAlive() : b->GetFlag() == 1);
        if (!r.part) {
            EXPECT_EQ(b->GetHealthPercent(), 14);
        }
        const uint32_t hits = Sounds(60);
        Hit(target, r.hits[2]);
        const int32_t damage = r.hits[0] + r.hits[1] + r.hits[2];
        EXPECT_EQ(r.part ? Parts()[0]->GetDamage() : b->GetDamage(), damage);
        EXPECT_FALSE(target->IsHitShapeActive());
        EXPECT_EQ(shown(), 0.0f);
        if (r.part) {
            EXPECT_FALSE(target->IsAlive());
            EXPECT_EQ(Sounds(102), kills + 1);
            EXPECT_EQ(Sounds(60), hits) << "a kill, not a hit";
            EXPECT_EQ(Work().score, score + 50000);
        } else {
            EXPECT_EQ(b->GetFlag(), 0);
            Frame();
            EXPECT_EQ(b->GetState(), B::kFalling);
        }
        DeleteDirector();
    }
}

// A part shot off sounds 43 plus the low two bits of the next word of
// stream 0 and bursts into one boss explosion.
TEST_F(BossTest, APartShotOffSoundsTheDeathItsWordPicks) {
    B* b = Boss(1, 281);
    ToFight(b);
    Frame();
    for (EnemyBossBarrel* part : Parts()) {
        Frames(3);
        Mireku::Common::Random next = world.random->Stream(RandomManager::kPresentation);
        const int32_t want = 43 + static_cast<int32_t>(next.Next() & 3);
        uint32_t before[4];
        for (int32_t id = 43; id <= 46; ++id)
            before[id - 43] = Sounds(id);
        const size_t bombs = Count<EnemyDeadBomb>();
        part->DestroyPart();
        for (int32_t id = 43; id <= 46; ++id)
            EXPECT_EQ(Sounds(id) - before[id - 43], id == want ? 1u : 0u) << id;
        ASSERT_EQ(Count<EnemyDeadBomb>(), bombs + 1);
        EXPECT_EQ(ChildrenOf<EnemyDeadBomb>().back()->GetSize(), EnemyDeadBomb::kSizeBoss);
        EXPECT_FALSE(part->IsAlive());
    }
}

TEST_F(BossTest, PartsOpenAsTheBodyWeakensEachReplacingTheOpenOnes) {
    B* b = Boss(1, 281); // parts of thresholds 100, 75 and 50
    ToFight(b);
    Frame();
    const std::vector<EnemyBossBarrel*> parts = Parts();
    ASSERT_EQ(parts.size(), 3u);
    ASSERT_EQ(parts[1]->GetThreshold(), 75);
    ASSERT_EQ(parts[2]->GetThreshold(), 50);
    ASSERT_TRUE(parts[0]->GetFlag());
    const uint32_t opened = Sounds(51);
    // A part shot off sounds one of the deaths 43-46.
    const auto deaths = [this] { return Sounds(43) + Sounds(44) + Sounds(45) + Sounds(46); };
    const uint32_t died = deaths();
    Hit(b, 17499); // (70000 - 17499) / 70000 = 75.001%: 75
    Frame();
    EXPECT_EQ(b->GetHealthPercent(), 75);
    EXPECT_TRUE(parts[1]->GetFlag()) << "75 counts as fallen to 75";
    Frames(2);
    EXPECT_EQ(Sounds(51), opened + 1);
    EXPECT_FALSE(parts[0]->IsAlive()) << "the part open before is shot off";
    EXPECT_EQ(deaths(), died + 1);
    Hit(b, 17502); // 49.99...%: 49
    TestEnemyShot* s = Make<TestEnemyShot>(Vector2{0, 300});
    EXPECT_FALSE(parts[2]->GetFlag());
    Frame();
    EXPECT_TRUE(parts[2]->GetFlag());
    EXPECT_FALSE(parts[1]->IsAlive());
    EXPECT_FALSE(s->IsAlive()) << "every bullet erased as it opens";
    Frames(2);
    EXPECT_EQ(Sounds(51), opened + 2);
    EXPECT_EQ(gauge.bossPartHealth[0] + gauge.bossPartHealth[1], 0.0f);
    Frames(4);
    ASSERT_EQ(b->GetPartCount(), 1u) << "the list keeps only live parts";
    EXPECT_EQ(b->GetPart(0), parts[2]);
}

TEST_F(BossTest, APartTakesItsOwnHitsAndPaysHalf) {
    B* b = Boss(0, 280);
    ToFight(b);
    Frame();
    EnemyBossBarrel* p = Parts()[0];
    ASSERT_TRUE(p->IsHitShapeActive());
    EXPECT_EQ(p->GetCollisionGroup(), 6u);
    TestEnemyShot other(director, {0, 0});
    p->OnCollision(&other);
    EXPECT_EQ(p->GetDamage(), 0);
    Hit(p, 300);
    EXPECT_EQ(gauge.bossPartHealth[0], 500.0f);
    EXPECT_EQ(Sounds(60), 1u);
    Work().barionGauge = 0;
    Work().invincible = 0;
    const uint64_t score = Work().score;
    Hit(p, 600);
    EXPECT_FALSE(p->IsAlive());
    EXPECT_FALSE(p->IsHitShapeActive());
    EXPECT_EQ(gauge.bossPartHealth[0], 0.0f);
    EXPECT_EQ(Work().score, score + 50000);
    EXPECT_EQ(Work().barionGauge, 150);
    EXPECT_EQ(Sounds(102), 1u);
    EXPECT_EQ(Work().invincible, 0) << "a part makes no one invincible";
    EXPECT_EQ(director->GetHud().GetShakeFrames(), 0) << "nor shakes the screen";
    EXPECT_EQ(b->GetFlag(), 1);
    Frames(4);
    EXPECT_EQ(b->GetPartCount(), 1u);
    EXPECT_EQ(gauge.bossPartHealth[0], 0.0f) << "stays empty";
}

// The fight swings the body on its orbit (100 wide either way, 0 to 100
// down, the angle turning 0.004986655 a frame its own way) for 7200
// frames, beeping each of the last ten seconds; then it retreats by 1.5
// heights a second and the stage clears.
TEST_F(BossTest, TheFightOrbitsForItsTimeAndTheBodyRetreats) {
    B* b = Boss(0, 280);
    ToFight(b);
    const uint32_t warnings = Sounds(58);
    const Vector2 base = b->GetHome() + b->GetOffset();
    const float turn = 0.004986655f * static_cast<float>(b->GetTurnDirection());
    int updates = 0;
    float angle = b->GetOrbitAngle();
    for (; b->GetState() == B::kFight && updates < 8000; ++updates) {
        Frame();
        if (b->GetState() != B::kFight)
            break;
        angle += turn;
        const Vector2 orbit = b->GetOrbit();
        ASSERT_NEAR(b->GetOrbitAngle(), angle, 1e-3f) << updates;
        ASSERT_TRUE(Near({orbit.x, orbit.y, b->GetPosition()->x, b->GetPosition()->y},
                         {100.0f * std::cos(angle), 50.0f * (std::sin(angle) + 1.0f),
                          base.x + orbit.x, base.y + orbit.y},
                         1e-2f))
            << updates;
        if (b->GetTimeLeft() > 600) {
            ASSERT_EQ(Sounds(58), warnings) << b->GetTimeLeft();
        }
    }
    EXPECT_EQ(updates + 1, 7200);
    EXPECT_EQ(Sounds(58), warnings + 10) << "600, 540, ..., 60";
    EXPECT_EQ(b->GetState(), B::kRetreat);
    EXPECT_EQ(b->GetFlag(), 0);
    EXPECT_EQ(Sounds(59), 1u);
    const float rise = b->GetSpriteHeight() * 1.5f / 60.0f;
    for (int i = 0; i < 3; ++i) {
        const float y = b->GetPosition()->y;
        Frame();
        EXPECT_NEAR(b->GetPosition()->y, y - rise, 1e-3f) << "1.5 heights a second";
    }
    while (b->IsAlive() && updates++ < 9000)
        Frame();
    EXPECT_LE(b->GetPosition()->y, -b->GetSpriteHeight() / 2.0f);
    EXPECT_EQ(b->GetState(), B::kGone);
    EXPECT_EQ(Count<StageClearDirection>(), 1u);
    EXPECT_GT(director->GetTimeline()->GetHaltCounter(), 0);
}

TEST_F(BossTest, ADestroyedBodyFallsExplodingAndClearsTheStage) {
    B* b = Boss(0, 280);
    ToFight(b);
    Hit(b, 24000);
    Frame();
    ASSERT_EQ(b->GetState(), B::kFalling);
    EXPECT_EQ(b->GetSecondCounter(), 60);
    const float y0 = b->GetPosition()->y;
    Frames(60);
    EXPECT_EQ(b->GetPosition()->y, y0) << "60 frames of explosions where it died";
    EXPECT_GE(Count<EnemyDeadBomb>(), 3u);
    EXPECT_GT(Sounds(56), 0u);
    EXPECT_GT(While(b, B::kFalling), 0);
    EXPECT_GT(b->GetPosition()->y, 540.0f);
    EXPECT_EQ(b->GetState(), B::kFallen);
    EXPECT_EQ(gauge.bossGaugeVisible, 0);
    EXPECT_EQ(director->GetHud().GetShakeFrames(), 60);
    ASSERT_EQ(Count<StageClearDirection>(), 1u);
    EXPECT_TRUE(ChildrenOf<StageClearDirection>()[0]->FliesOut());
    EXPECT_TRUE(DrawnBy(b, SpriteLayer::kEnemyBlend).empty()) << "fallen, it is not drawn";
    for (int i = 0; i < 181 && world.gw->gameState != GameState::kCleared; ++i)
        Frame();
    EXPECT_EQ(world.gw->gameState, GameState::kCleared);
}

// All the while it falls the body's countdown steps down by one each
// update and never reads 0: the update it runs out, three boss explosions burst,
// sound 56 plays and the next countdown is drawn as 8 to 12; the first
// one, drawn at the kill, is 8 to 15.
TEST_F(BossTest, TheFallingBodyBlastsEachTimeItsCountdownRunsOut) {
    B* b = Boss(0, 280);
    ToFight(b);
    Hit(b, 24000);
    Frame();
    // Boss explosions made this frame: still on their first image, which
    // lasts two updates.
    const auto blasts = [this] {
        size_t n = 0;
        for (EnemyDeadBomb* e : ChildrenOf<EnemyDeadBomb>())
            n += e->GetSize() == EnemyDeadBomb::kSizeBoss && e->GetImage() == 0;
        return n;
    };
    ASSERT_EQ(b->GetState(), B::kFalling);
    int32_t counter = b->GetCounter();
    EXPECT_GE(counter, 8);
    EXPECT_LE(counter, 15);
    int bursts = 0, update = 0;
    for (; update < 2000 && b->GetState() == B::kFalling; ++update) {
        SCOPED_TRACE(update);
        const uint32_t sounds = Sounds(56);
        Frame();
        const int32_t now = b->GetCounter();
        // The update it reaches the bottom it bursts once more, whole.
        const size_t last = b->GetState() == B::kFallen ? 1u : 0u;
        if (counter == 1) {
            ++bursts;
            EXPECT_GE(now, 8);
            EXPECT_LE(now, 12);
            EXPECT_EQ(blasts(), 3u + last);
            EXPECT_EQ((Sounds(56) - sounds) % SoundManager::kVoicesPerEffect, 1u);
        } else {
            EXPECT_EQ(now, counter - 1);
            EXPECT_EQ(blasts(), last);
            EXPECT_EQ(Sounds(56), sounds);
        }
        counter = now;
    }
    EXPECT_EQ(b->GetState(), B::kFallen);
    EXPECT_GE(bursts, update / 12) << "at least one every 12 updates of the fall";
}

TEST_F(BossTest, The291BurnsOutWhitensAndComesBackAsThe292) {
    B* first = Boss(11, 291);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetTimeLeft(), B::kNoTimeLimit);
    ToFight(first);
    Hit(first, first->GetHealth());
    Frame();
    ASSERT_EQ(first->GetState(), B::kFalling);
    EXPECT_FALSE(director->GetTally().IsActive()) << "no tally for the first form";
    EXPECT_EQ(While(first, B::kFalling), 120) << "60 shaking and 60 drifting";
    EXPECT_EQ(first->GetState(), B::kWhiteOut);
    EXPECT_EQ(Sounds(57), 1u);
    EXPECT_EQ(While(first, B::kWhiteOut), 60);
    EXPECT_EQ(gauge.bossWhiteOut, 1.0f);
    const uint32_t arrivals = Sounds(53);
    EXPECT_EQ(While(first, B::kChangeForm), 120);
    EXPECT_FALSE(first->IsAlive());
    ASSERT_EQ(Count<B>(), 2u);
    EXPECT_EQ(Sounds(53), arrivals + 1) << "the second form arrives with sound 53";
    B* second = ChildrenOf<B>()[1];
    EXPECT_EQ(second->GetType(), 292);
    EXPECT_EQ(second->GetGroup(), 25u);
    EXPECT_EQ(second->GetTextureBase(), 58u);
    const SampleData::SampleBossLayout look = SampleData::BossLayout(25);
    EXPECT_EQ(second->GetSpriteHeight(), look.bodyHeight);
    EXPECT_EQ(second->GetPosition()->y, -100.0f - look.bodyHeight / 2.0f + look.bodyHeight)
        << "where the first form settled";
    EXPECT_EQ(second->GetPartCount(), static_cast<uint32_t>(look.parts));
    EXPECT_EQ(second->GetState(), B::kFadeIn);
    EXPECT_EQ(While(second, B::kFadeIn), 59) << "its first update ran in the frame it was made";
    EXPECT_EQ(gauge.bossWhiteOut, 0.0f);
    EXPECT_EQ(second->GetState(), B::kWait);
    EXPECT_STREQ(director->GetMusic().GetStageMusicName(), "boss3.ogg");
    ToFight(second);
    EXPECT_EQ(second->GetTurnDirection(), -1);
    Hit(second, second->GetHealth());
    Frame();
    EXPECT_TRUE(director->GetTally().IsActive());
    EXPECT_TRUE(director->GetTally().IsHighRate());
    EXPECT_EQ(While(second, B::kFalling), 121) << "120 frames, then it blows up";
    EXPECT_EQ(second->GetState(), B::kBlownUp);
    EXPECT_EQ(gauge.bossGaugeVisible, 0);
    ASSERT_EQ(Count<StageClearDirection>(), 1u);
    EXPECT_FALSE(ChildrenOf<StageClearDirection>()[0]->FliesOut());
    // The shock wave starts from nothing at the blow-up and grows by 0.05 at
    // each draw: the frame that blew it up has drawn it once.
    EXPECT_FLOAT_EQ(second->GetShockWaveScale(), 0.05f);
    Frames(3);
    EXPECT_FLOAT_EQ(second->GetShockWaveScale(), 0.2f);
}

// In story mode the second form hands over to the story scene when it has
// faded in and again after the tally; without a story scene it does not
// wait for ever.
TEST_F(BossTest, InStoryModeTheBossesHandOverToTheStory) {
    for (const bool withScene : {true, false}) {
        SCOPED_TRACE(withScene);
        world.gw->storyMode = 1;
        scenes->SetScreenFactory(withScene ? StoryFactory : nullptr);
        StoryStandIn::started = 0;
        B* second = SecondForm();
        ASSERT_NE(second, nullptr);
        While(second, B::kFadeIn);
        if (!withScene) {
            Frames(2);
            EXPECT_EQ(world.gw->storyRequest, 0u);
            EXPECT_EQ(second->GetState(), B::kWait);
            continue;
        }
        // The scene started in that frame, read the request and cleared it.
        EXPECT_EQ(second->GetState(), B::kStory);
        EXPECT_EQ(StoryStandIn::started, 1);
        EXPECT_EQ(StoryStandIn::lastRequest, 1u);
        EXPECT_EQ(world.gw->storyRequest, 0u);
        EXPECT_EQ(world.gw->storyPending, 1);
        Frame();
        EXPECT_EQ(second->GetState(), B::kWait);
        ToFight(second);
        Hit(second, second->GetHealth());
        Frame();
        While(second, B::kFalling, 1000);
        EXPECT_EQ(second->GetState(), B::kEndingStory);
        EXPECT_TRUE(director->IsTallyOver()) << "after the tally was read";
        EXPECT_FALSE(director->GetTally().IsActive()) << "and put away";
        EXPECT_EQ(StoryStandIn::started, 2);
        EXPECT_EQ(StoryStandIn::lastRequest, 2u);
        EXPECT_EQ(Count<StageClearDirection>(), 0u);
        Frame();
        EXPECT_EQ(second->GetState(), B::kDone);
        EXPECT_EQ(Count<StageClearDirection>(), 1u);
        DeleteDirector();
    }
}

TEST_F(BossTest, PartCountsAndHitPointsFromTheRowStayWithinTheGauges) {
    WriteStageFiles(0);
    Play(1, 0);
    const int16_t parts = BossRow(0, 0).partCount;
    for (const auto& [count, made] : {std::pair{30, 24}, std::pair{-3, 0}}) {
        BossRow(0, 0).partCount = static_cast<int16_t>(count);
        B* b = static_cast<B*>(CreateEnemyBoss(director, 280, 0));
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(gauge.bossPartCount, made);
        EXPECT_EQ(b->GetPartCount(), static_cast<uint32_t>(made));
        EXPECT_EQ(Count<EnemyBossBarrel>(), static_cast<size_t>(made));
        b->Vanish();
        Frames(8); // the body, then its parts
    }
    // A group past the table has no boss at all.
    EXPECT_EQ(CreateEnemyBoss(director, 280, 30), nullptr);
    // A body without hit points is spent, not divided by zero: any hit is
    // its last.
    BossRow(0, 0).partCount = parts;
    BossRow(0, 0).health = 0;
    B* b = static_cast<B*>(CreateEnemyBoss(director, 280, 0));
    EXPECT_EQ(b->GetHealthPercent(), 0);
    Frames(30);
    Hit(b, 1);
    EXPECT_FALSE(b->IsHitShapeActive());
}

// A row's hit-area offsets are 16-bit, and so is the offset of the hit box
// made from them; with the sprite sizes the truncated sum can pass the ends
// of that range, and then the hit area stays at the end it passed.
TEST_F(BossTest, HitAreaOffsetsAtTheEndsOfTheirRangeKeepTheHitAreaOnTheirSide) {
    const SampleData::SampleBossLayout look = SampleData::BossLayout(0);
    ASSERT_GT(look.bodyWidth, look.coreWidth);
    ASSERT_GT(look.bodyHeight, look.coreHeight);
    struct Row {
        const char* name;
        int16_t offset;
        float boxOffsetX, boxOffsetY; // of the box's centre from the screen position
    };
    const float halfX = (look.bodyWidth - look.coreWidth) / 2.0f;
    const float halfY = (look.bodyHeight - look.coreHeight) / 2.0f;
    for (const Row& r : {Row{"lowest offset: past the range, kept at its end", INT16_MIN,
                             -32768.0f, -32768.0f},
                         Row{"highest offset: within the range", INT16_MAX,
                             std::trunc(32767.0f - halfX), std::trunc(32767.0f - halfY)}}) {
        SCOPED_TRACE(r.name);
        B* b = Boss(0, 280);
        BossRow(0, 0).offsetX = BossRow(0, 0).offsetY = r.offset;
        UpdateChildren();
        const Vector2 at = *b->GetScreenPosition();
        const HitShape& box = *b->GetHitShape();
        EXPECT_TRUE(Near({box.minX, box.minY, box.maxX - box.minX, box.maxY - box.minY},
                         {at.x + r.boxOffsetX - float(look.coreWidth >> 1),
                          at.y + r.boxOffsetY - float(look.coreHeight >> 1),
                          float(look.coreWidth), float(look.coreHeight)}));
        DeleteDirector();
    }
}

// The health percentage is a float truncated to 32 bits: below -100 it
// counts as -100, and hits of negative attack from a damaged table that
// heal a body of one hit point past the 32-bit range count as its end.
TEST_F(BossTest, TheHealthPercentageStaysWithinItsRange) {
    struct Row {
        const char* name;
        int attack;
        int hits;
        int32_t percent;
    };
    for (const Row& r :
         {Row{"damage far past the health", 30000, 1, -100},
          Row{"healed within the range", -32768, 600, static_cast<int32_t>(19660801.0f * 100.0f)},
          Row{"healed past the range", -32768, 700, INT32_MAX}}) {
        SCOPED_TRACE(r.name);
        WriteStageFiles(0);
        Play(1, 0);
        BossRow(0, 0).health = 1;
        B* b = static_cast<B*>(CreateEnemyBoss(director, 280, 0));
        ASSERT_NE(b, nullptr);
        for (int i = 0; i < r.hits; ++i)
            Hit(b, r.attack);
        EXPECT_EQ(b->GetDamage(), r.attack * r.hits);
        EXPECT_EQ(b->GetHealthPercent(), r.percent);
        DeleteDirector();
    }
}

TEST_F(BossTest, ABodyThatGoesTakesItsPartsAlong) {
    B* b = Boss(0, 280);
    const std::vector<EnemyBossBarrel*> parts = Parts();
    gauge.bossPartHealth[0] = gauge.bossPartHealth[1] = 5.0f;
    b->Vanish();
    for (int i = 0; i < 3; ++i) // the body is deleted
        UpdateChildren();
    EXPECT_EQ(Count<B>(), 0u);
    for (EnemyBossBarrel* p : parts) {
        EXPECT_EQ(p->GetParent(), nullptr);
        EXPECT_FALSE(p->IsAlive());
    }
    EXPECT_EQ(gauge.bossPartHealth[0] + gauge.bossPartHealth[1], 0.0f);
    Frames(4);
    EXPECT_TRUE(Parts().empty());
}

TEST_F(BossTest, TheBodyDrawsItsImagesGlowCoreRingAndSparkle) {
    B* b = Boss(0, 280);
    ToFight(b);
    Frame();
    world.BeginFrame();
    b->Draw();
    const auto quads = world.Capture(SpriteLayer::kEnemyBlend);
    const auto sparkle = world.Capture(SpriteLayer::kPlayerShotBlend);
    world.EndFrame();
    ASSERT_EQ(quads.size(), 4u) << "body, glow, core and ring";
    const SampleData::SampleBossLayout look = SampleData::BossLayout(0);
    const float x = b->GetScreenPosition()->x, y = b->GetScreenPosition()->y;
    const auto image = static_cast<uint16_t>(b->GetFrameNumber() / 4 % 4);
    const uint32_t alpha = Mireku::Renderer::SpriteRenderer::kBlendAlpha;
    const uint32_t add = Mireku::Renderer::SpriteRenderer::kBlendAdd;
    const std::tuple<uint16_t, uint32_t> want[4] = {
        {image, alpha}, {4 + image, add}, {9, alpha}, {128, add}}; // open core and ring
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(quads[i].texture, director->GetBossTexture(std::get<0>(want[i]))) << i;
        EXPECT_EQ(quads[i].blend, std::get<1>(want[i])) << i;
    }
    EXPECT_TRUE(Near({quads[0].x0, quads[0].y1, quads[2].x0},
                     {x - look.bodyWidth / 2.0f, y + look.bodyHeight / 2.0f,
                      x - look.bodyWidth / 2.0f + (look.bodyWidth - look.coreWidth) / 2}));
    EXPECT_EQ(sparkle.size(), 1u);
}
