#include "game/core/GameState.h"
#include "game/enemy/boss01/BossCreation.h"
#include "game/enemy/boss01/EnemyBoss01.h"
#include "game/enemy/boss01/EnemyBossBarrel.h"
#include "game/enemy/explosion/EnemyDeadBomb.h"
#include "game/enemy/explosion/EnemyShotDelete.h"
#include "game/enemy/item/ItemGrabuster.h"
#include "game/enemy/item/ItemHyperio.h"
#include "game/enemy/shot/EnemyShotDefault.h"
#include "game/enemy/staging/StageClearDirection.h"
#include "game/stage/GameObjectTimeline.h"
#include "support/EnemyTestSupport.h"
#include "tools/sampledata/GameTableData.h"

#include <cmath>
#include <numbers>

namespace {

using stage_test::TestEnemyShot;
using stage_test::TestShot;
using B = EnemyBoss01;

constexpr float kPi = std::numbers::pi_v<float>;

class BossTest : public enemy_test::EnemyTest {
protected:
    // The stage's boss of `type`, on the sample stage files.
    B* Boss(uint32_t stage, int32_t type) {
        WriteStageFiles(stage);
        Play(1, stage);
        return static_cast<B*>(CreateEnemyBoss(director, type, stage));
    }
    BossRecord& Row(uint32_t group, uint32_t index) {
        return *world.gw->tables.boss[1].MutableAt<BossRecord>(group * 25 + index);
    }
    std::vector<EnemyBossBarrel*> Parts() const { return ChildrenOf<EnemyBossBarrel>(); }
    // Frames (drawn, so that the gauges fill) until the body fights.
    void ToFight(B* b) {
        for (int i = 0; i < 400 && b->GetState() != B::kFight; ++i)
            Frame();
        ASSERT_EQ(b->GetState(), B::kFight);
    }
    // A hit of `attack` by a weapon of `family`, as the collision pass reports it.
    void Hit(GameObject* target, int attack, uint32_t family = PlayerShotBase::kFamilyShot,
             float angle = 0.0f) {
        TestShot shot(director, *target->GetPosition(), static_cast<int16_t>(attack), family);
        shot.SetAngle(angle);
        target->OnCollision(&shot);
    }
    // Updates (drawn) while the body stays in `state` and alive; how many ran.
    int While(B* b, int32_t state, int limit = 2000) {
        int n = 0;
        while (b->IsAlive() && b->GetState() == state && n < limit) {
            Frame();
            ++n;
        }
        return n;
    }
    // Stage 11's first form, shot down; the second form once it is there.
    B* SecondForm() {
        B* first = Boss(11, 291);
        ToFight(first);
        Hit(first, first->GetHealth());
        for (int i = 0; i < 400 && ChildrenOf<B>().size() < 2; ++i)
            Frame();
        return ChildrenOf<B>().size() == 2 ? ChildrenOf<B>()[1] : nullptr;
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
    EXPECT_EQ(b->GetSpriteWidth(), look.bodyWidth);
    EXPECT_EQ(b->GetSpriteHeight(), look.bodyHeight);
    EXPECT_EQ(b->GetHitWidth(), look.coreWidth);
    EXPECT_EQ(b->GetHitHeight(), look.coreHeight);
    const float h = static_cast<float>(look.bodyHeight);
    const float home = -32.0f - h / 2;
    EXPECT_EQ(b->GetHome().y, home);
    EXPECT_EQ(b->GetPosition()->x, 0.0f);
    EXPECT_EQ(b->GetPosition()->y, home);
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
    for (int i = 0; i < 47; ++i)
        UpdateChildren();
    EXPECT_EQ(b->GetState(), B::kDescend);
    UpdateChildren();
    EXPECT_EQ(b->GetState(), B::kSettle);
    EXPECT_FLOAT_EQ(b->GetPosition()->y, home + h + 10.0f);
    for (int i = 0; i < 11; ++i)
        UpdateChildren();
    EXPECT_EQ(b->GetState(), B::kSettle);
    UpdateChildren();
    EXPECT_EQ(b->GetState(), B::kWait);
    EXPECT_FLOAT_EQ(b->GetPosition()->y, home + h);
    // Each part sits at its row's offsets from the body's top-left corner.
    int px = 0, py = 0;
    SampleData::BossPartOffset(0, 1, &px, &py);
    EXPECT_FLOAT_EQ(Parts()[0]->GetPosition()->x,
                    -look.bodyWidth / 2.0f + px + look.partWidth / 2.0f);
    EXPECT_FLOAT_EQ(Parts()[0]->GetPosition()->y, home + h / 2 + py + look.partHeight / 2.0f);
    // The hit area is the core at the row's offsets.
    const HitShape& box = *b->GetHitShape();
    EXPECT_FALSE(b->IsHitShapeActive());
    EXPECT_FLOAT_EQ(box.minX,
                    360.0f - look.bodyWidth / 2.0f + (look.bodyWidth - look.coreWidth) / 2);
    EXPECT_FLOAT_EQ(box.maxY - box.minY, static_cast<float>(look.coreHeight));

    for (int i = 0; i < 100; ++i)
        UpdateChildren();
    EXPECT_EQ(b->GetState(), B::kWait) << "the gauges fill only as the display draws them";
    const uint32_t opened = SoundCount(51);
    const uint32_t fight = SoundCount(50);
    int frames = 0;
    while (gauge.bossGaugeState != BossGauge::kFull && frames < 200) {
        Frame();
        ++frames;
    }
    EXPECT_GE(frames, 60) << "the gauges fill by a sixtieth a drawn frame";
    EXPECT_EQ(b->GetState(), B::kWait);
    Frame();
    EXPECT_EQ(b->GetState(), B::kFight) << "the first update with full gauges opens it";
    EXPECT_EQ(b->GetFlag(), 1);
    EXPECT_EQ(SoundCount(50), fight + 1);
    EXPECT_EQ(SoundCount(52), 1u);
    EXPECT_FALSE(Parts()[0]->GetFlag()) << "parts open on the next update";
    Frame();
    EXPECT_TRUE(b->IsHitShapeActive());
    EXPECT_TRUE(Parts()[0]->GetFlag()) << "threshold 100 opens with the fight";
    EXPECT_TRUE(Parts()[0]->IsFiring());
    EXPECT_FALSE(Parts()[1]->GetFlag());
    EXPECT_EQ(SoundCount(51), opened) << "silently";
}

TEST_F(BossTest, BeforeTheFightAHundredPercentPartErasesTheBulletsEveryUpdate) {
    B* b = Boss(0, 280);
    ASSERT_NE(b, nullptr);
    for (int i = 0; i < 3; ++i) {
        TestEnemyShot* s =
            GameObject::Create<TestEnemyShot>(director, director, Mireku::Common::Vector2{0, 300});
        UpdateChildren();
        EXPECT_FALSE(s->IsAlive()) << i;
    }
    EXPECT_GE(ChildrenOf<EnemyShotDelete>().size(), 3u);
}

TEST_F(BossTest, HitsCountOnlyFromPlayerWeaponsAndTheLastOneDestroys) {
    B* b = Boss(0, 280);
    ToFight(b);
    Frame();
    TestEnemyShot enemyShot(director, {0, 0});
    b->OnCollision(&enemyShot);
    EXPECT_EQ(b->GetDamage(), 0);
    const uint32_t hitSound = SoundCount(B::kHitSound);
    Hit(b, 1200);
    EXPECT_EQ(b->GetDamage(), 1200);
    EXPECT_EQ(gauge.bossHealthShown, 22800.0f);
    EXPECT_EQ(b->GetHealthPercent(), 95);
    EXPECT_EQ(SoundCount(B::kHitSound), hitSound + 1);
    EXPECT_EQ(b->GetFlag(), 1);

    world.gw->player.barionGauge = 0;
    const uint64_t score = world.gw->player.score;
    const size_t bombs = ChildrenOf<EnemyDeadBomb>().size();
    Hit(b, 22800); // exactly the hit points
    EXPECT_EQ(b->GetFlag(), 0);
    EXPECT_FALSE(b->IsHitShapeActive());
    EXPECT_EQ(gauge.bossHealthShown, 0.0f);
    EXPECT_EQ(world.gw->player.score, score + 100000);
    EXPECT_EQ(world.gw->player.invincibleTimer, 60);
    EXPECT_EQ(world.gw->player.invincible, 1);
    EXPECT_EQ(world.gw->player.barionGauge, 200) << "a fifth of the ship's gauge maximum";
    EXPECT_EQ(SoundCount(54), 1u);
    EXPECT_EQ(director->GetHud().GetShakeFrames(), 15);
    EXPECT_EQ(ChildrenOf<EnemyDeadBomb>().size(), bombs + 1);
    EXPECT_EQ(ChildrenOf<EnemyDeadBomb>().back()->GetSize(), 2u);
    Hit(b, 5000); // overkill: the gauge never goes below 0
    EXPECT_EQ(gauge.bossHealthShown, 0.0f);

    // The next update: the fall begins, the parts explode, the shots go.
    GameObject::Create<TestEnemyShot>(director, director, Mireku::Common::Vector2{0, 300});
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
        world.gw->player.grabusterHits = 24; // the next is the 25th: level 2
        world.gw->player.barionGauge = 0;
        const uint64_t score = world.gw->player.score;
        Hit(b, 24000, c.family, 1.25f);
        EXPECT_EQ(b->GetFlag(), 0) << "destroyed whatever the family";
        EXPECT_EQ(world.gw->player.score - score, c.score);
        EXPECT_EQ(ChildrenOf<ItemHyperio>().size(), c.hyperio ? 1u : 0u);
        EXPECT_EQ(b->shotsToHyperio, c.family == PlayerShotBase::kFamilyBarionLaser);
        EXPECT_EQ(b->shotsToGrabuster, c.family == PlayerShotBase::kFamilyGrabuster);
        EXPECT_EQ(world.gw->player.barionGauge, 0);
        if (c.family == PlayerShotBase::kFamilyBarionLaser) {
            EXPECT_EQ(ChildrenOf<ItemHyperio>()[0]->GetState(), ItemHyperio::kFloat)
                << "made without its appearance";
            EXPECT_EQ(ChildrenOf<EnemyDeadBomb>().back()->GetAngle(), 1.25f)
                << "turned along the laser";
        }
        if (c.family == PlayerShotBase::kFamilyGrabuster) {
            EXPECT_EQ(world.gw->player.grabusterHits, 25u);
        }
        DeleteAll();
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
            GameObject::Create<EnemyShotDefault>(director, director, p, 0,
                                                 Mireku::Common::Vector2{x, 300.0f});
        world.gw->player.grabusterHits = 34; // the kill is the 35th: level 3
        const size_t hyperio = ChildrenOf<ItemHyperio>().size();
        Hit(p, 5000, family);
        UpdateChildren();
        EXPECT_EQ(LiveCount<EnemyShotDefault>(), 0u);
        if (family == PlayerShotBase::kFamilyBarionLaser) {
            EXPECT_EQ(ChildrenOf<ItemHyperio>().size(), hyperio + 1 + 3) << "the part's and one a shot";
        } else {
            const std::vector<ItemGrabuster*> items = ChildrenOf<ItemGrabuster>();
            ASSERT_EQ(items.size(), 3u);
            for (uint32_t i = 0; i < 3; ++i) {
                EXPECT_EQ(items[i]->GetDelay(), i);
                EXPECT_EQ(items[i]->GetChainLevel(), 3u);
            }
        }
        DeleteAll();
    }
}

TEST_F(BossTest, ABodyOfSeventyThousandPointsDies) {
    B* b = Boss(1, 281);
    ASSERT_EQ(b->GetHealth(), 70000);
    ToFight(b);
    Hit(b, 30000);
    Hit(b, 30000);
    EXPECT_EQ(b->GetFlag(), 1);
    EXPECT_EQ(b->GetHealthPercent(), 14);
    EXPECT_EQ(gauge.bossHealthShown, 10000.0f);
    Hit(b, 30000); // 90000: a 16-bit count would have wrapped to 24464
    EXPECT_EQ(b->GetFlag(), 0);
    EXPECT_EQ(b->GetDamage(), 90000);
    Frame();
    EXPECT_EQ(b->GetState(), B::kFalling);
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
    const uint32_t opened = SoundCount(51);

    Hit(b, 17499); // 75.001%: still 75 after truncation? (70000 - 17499) / 70000 = 75.0014
    Frame();
    EXPECT_EQ(b->GetHealthPercent(), 75);
    EXPECT_TRUE(parts[1]->GetFlag()) << "75 counts as fallen to 75";
    Frames(2);
    const uint32_t afterFirst = SoundCount(51);
    EXPECT_EQ(afterFirst, opened + 1);
    EXPECT_FALSE(parts[0]->IsAlive()) << "the part open before is shot off";

    Hit(b, 17502); // 49.99...%: 49
    TestEnemyShot* s =
        GameObject::Create<TestEnemyShot>(director, director, Mireku::Common::Vector2{0, 300});
    EXPECT_FALSE(parts[2]->GetFlag());
    Frame();
    EXPECT_TRUE(parts[2]->GetFlag());
    EXPECT_FALSE(parts[1]->IsAlive());
    EXPECT_FALSE(s->IsAlive()) << "every bullet erased as it opens";
    Frames(2);
    EXPECT_EQ(SoundCount(51), afterFirst + 1);
    EXPECT_EQ(gauge.bossPartHealth[0], 0.0f);
    EXPECT_EQ(gauge.bossPartHealth[1], 0.0f);
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
    EXPECT_EQ(SoundCount(EnemyBossBarrel::kHitSound), 1u);
    world.gw->player.barionGauge = 0;
    world.gw->player.invincible = 0;
    const uint64_t score = world.gw->player.score;
    Hit(p, 600);
    EXPECT_FALSE(p->IsAlive());
    EXPECT_FALSE(p->IsHitShapeActive());
    EXPECT_EQ(gauge.bossPartHealth[0], 0.0f);
    EXPECT_EQ(world.gw->player.score, score + 50000);
    EXPECT_EQ(world.gw->player.barionGauge, 150);
    EXPECT_EQ(SoundCount(102), 1u);
    EXPECT_EQ(world.gw->player.invincible, 0) << "a part makes no one invincible";
    EXPECT_EQ(director->GetHud().GetShakeFrames(), 0) << "nor shakes the screen";
    EXPECT_EQ(b->GetFlag(), 1);
    Frames(4);
    EXPECT_EQ(b->GetPartCount(), 1u);
    EXPECT_EQ(gauge.bossPartHealth[0], 0.0f) << "stays empty";
}

TEST_F(BossTest, TheLastTenSecondsBeepAndTimeRunsOut) {
    B* b = Boss(0, 280);
    ToFight(b);
    const uint32_t warnings = SoundCount(58);
    int updates = 0;
    while (b->GetState() == B::kFight && updates < 8000) {
        Frame();
        ++updates;
        const int32_t left = b->GetTimeLeft();
        if (left > 600) {
            ASSERT_EQ(SoundCount(58), warnings) << left;
        }
    }
    EXPECT_EQ(updates, 7200);
    EXPECT_EQ(SoundCount(58), warnings + 10) << "600, 540, ..., 60";
    EXPECT_EQ(b->GetState(), B::kRetreat);
    EXPECT_EQ(b->GetFlag(), 0);
    EXPECT_EQ(SoundCount(59), 1u);
    const float top = -b->GetSpriteHeight() / 2.0f;
    while (b->IsAlive() && updates < 9000) {
        Frame();
        ++updates;
    }
    EXPECT_LE(b->GetPosition()->y, top);
    EXPECT_EQ(b->GetState(), B::kGone);
    EXPECT_EQ(ChildrenOf<StageClearDirection>().size(), 1u);
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
    for (int i = 0; i < 60; ++i)
        Frame();
    EXPECT_EQ(b->GetPosition()->y, y0) << "60 frames of explosions where it died";
    EXPECT_GE(ChildrenOf<EnemyDeadBomb>().size(), 3u);
    EXPECT_GT(SoundCount(56), 0u);
    int updates = While(b, B::kFalling);
    EXPECT_GT(b->GetPosition()->y, 540.0f);
    EXPECT_EQ(b->GetState(), B::kFallen);
    EXPECT_GT(updates, 0);
    EXPECT_EQ(gauge.bossGaugeVisible, 0);
    EXPECT_EQ(director->GetHud().GetShakeFrames(), 60);
    ASSERT_EQ(ChildrenOf<StageClearDirection>().size(), 1u);
    EXPECT_TRUE(ChildrenOf<StageClearDirection>()[0]->FliesOut());
    // Fallen, it is no longer drawn.
    world.BeginFrame();
    b->Draw();
    EXPECT_TRUE(world.Capture(SpriteLayer::kEnemyBlend).empty());
    world.EndFrame();
    for (int i = 0; i < 181 && world.gw->gameState != GameState::kCleared; ++i)
        Frame();
    EXPECT_EQ(world.gw->gameState, GameState::kCleared);
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
    const int falling = While(first, B::kFalling);
    EXPECT_EQ(falling, 120) << "60 shaking and 60 drifting";
    EXPECT_EQ(first->GetState(), B::kWhiteOut);
    EXPECT_EQ(SoundCount(57), 1u);
    const int white = While(first, B::kWhiteOut);
    EXPECT_EQ(white, 60);
    EXPECT_EQ(gauge.bossWhiteOut, 1.0f);
    const int held = While(first, B::kChangeForm);
    EXPECT_EQ(held, 120);
    EXPECT_FALSE(first->IsAlive());
    std::vector<B*> bodies = ChildrenOf<B>();
    ASSERT_EQ(bodies.size(), 2u);
    B* second = bodies[1];
    EXPECT_EQ(second->GetType(), 292);
    EXPECT_EQ(second->GetGroup(), 25u);
    EXPECT_EQ(second->GetTextureBase(), 58u);
    const SampleData::SampleBossLayout look = SampleData::BossLayout(25);
    EXPECT_EQ(second->GetSpriteHeight(), look.bodyHeight);
    EXPECT_EQ(second->GetPosition()->y, -100.0f - look.bodyHeight / 2.0f + look.bodyHeight)
        << "where the first form settled";
    EXPECT_EQ(second->GetPartCount(), static_cast<uint32_t>(look.parts));
    EXPECT_EQ(second->GetState(), B::kFadeIn);
    const int fade = While(second, B::kFadeIn);
    EXPECT_EQ(fade, 59) << "its first update ran in the frame it was made: 60 in all";
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
    ASSERT_EQ(ChildrenOf<StageClearDirection>().size(), 1u);
    EXPECT_FALSE(ChildrenOf<StageClearDirection>()[0]->FliesOut());
    // The shock wave starts from nothing at the blow-up and grows by 0.05 at
    // each draw: the frame that blew it up has drawn it once.
    EXPECT_FLOAT_EQ(second->GetShockWaveScale(), 0.05f);
    Frames(3);
    EXPECT_FLOAT_EQ(second->GetShockWaveScale(), 0.2f);
}

TEST_F(BossTest, InStoryModeTheBossesHandOverToTheStory) {
    world.gw->storyMode = 1;
    scenes->SetScreenFactory(enemy_test::StoryFactory);
    B* second = SecondForm();
    ASSERT_NE(second, nullptr);
    While(second, B::kFadeIn);
    // The scene started in that frame, read the request and cleared it.
    EXPECT_EQ(second->GetState(), B::kStory);
    EXPECT_EQ(enemy_test::StoryStandIn::started, 1);
    EXPECT_EQ(enemy_test::StoryStandIn::lastRequest, 1u);
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
    EXPECT_EQ(enemy_test::StoryStandIn::started, 2);
    EXPECT_EQ(enemy_test::StoryStandIn::lastRequest, 2u);
    EXPECT_TRUE(ChildrenOf<StageClearDirection>().empty());
    Frame();
    EXPECT_EQ(second->GetState(), B::kDone);
    EXPECT_EQ(ChildrenOf<StageClearDirection>().size(), 1u);
}

TEST_F(BossTest, WithoutAStorySceneTheSecondFormDoesNotWaitForEver) {
    world.gw->storyMode = 1; // but no screen factory
    B* second = SecondForm();
    ASSERT_NE(second, nullptr);
    While(second, B::kFadeIn);
    Frames(2);
    EXPECT_EQ(world.gw->storyRequest, 0u);
    EXPECT_EQ(second->GetState(), B::kWait);
}

TEST_F(BossTest, PartCountsFromTheRowStayWithinTheGauges) {
    WriteStageFiles(0);
    Play(1, 0);
    Row(0, 0).partCount = 30;
    B* b = static_cast<B*>(CreateEnemyBoss(director, 280, 0));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(gauge.bossPartCount, 24);
    EXPECT_EQ(b->GetPartCount(), 24u);
    EXPECT_EQ(Parts().size(), 24u);
    b->Vanish();
    Frames(4);
    Row(0, 0).partCount = -3;
    b = static_cast<B*>(CreateEnemyBoss(director, 280, 0));
    EXPECT_EQ(gauge.bossPartCount, 0);
    EXPECT_EQ(b->GetPartCount(), 0u);
    // A group past the table has no boss at all.
    EXPECT_EQ(CreateEnemyBoss(director, 280, 30), nullptr);
}

TEST_F(BossTest, ABodyWithoutHitPointsIsSpentNotDividedByZero) {
    WriteStageFiles(0);
    Play(1, 0);
    Row(0, 0).health = 0;
    B* b = static_cast<B*>(CreateEnemyBoss(director, 280, 0));
    EXPECT_EQ(b->GetHealthPercent(), 0);
    Frames(30);
    Hit(b, 1);
    EXPECT_FALSE(b->IsHitShapeActive()) << "any hit is its last";
}

TEST_F(BossTest, ABodyThatGoesTakesItsPartsAlong) {
    B* b = Boss(0, 280);
    const std::vector<EnemyBossBarrel*> parts = Parts();
    gauge.bossPartHealth[0] = gauge.bossPartHealth[1] = 5.0f;
    b->Vanish();
    UpdateChildren();
    UpdateChildren();
    UpdateChildren(); // the body is deleted
    EXPECT_TRUE(ChildrenOf<B>().empty());
    for (EnemyBossBarrel* p : parts) {
        EXPECT_EQ(p->GetParent(), nullptr);
        EXPECT_FALSE(p->IsAlive());
    }
    EXPECT_EQ(gauge.bossPartHealth[0], 0.0f);
    EXPECT_EQ(gauge.bossPartHealth[1], 0.0f);
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
    const uint32_t image = b->GetFrameNumber() / 4 % 4;
    EXPECT_EQ(quads[0].texture, director->GetBossTexture(static_cast<uint16_t>(image)));
    EXPECT_EQ(quads[0].blend, Mireku::Renderer::SpriteRenderer::kBlendAlpha);
    EXPECT_NEAR(quads[0].x0, x - look.bodyWidth / 2.0f, 1e-3f);
    EXPECT_NEAR(quads[0].y1, y + look.bodyHeight / 2.0f, 1e-3f);
    EXPECT_EQ(quads[1].texture, director->GetBossTexture(static_cast<uint16_t>(4 + image)));
    EXPECT_EQ(quads[1].blend, Mireku::Renderer::SpriteRenderer::kBlendAdd);
    EXPECT_EQ(quads[2].texture, director->GetBossTexture(9)) << "the open core";
    EXPECT_NEAR(quads[2].x0, x - look.bodyWidth / 2.0f + (look.bodyWidth - look.coreWidth) / 2,
                1e-3f);
    EXPECT_EQ(quads[3].texture, director->GetBossTexture(128)) << "the open ring";
    EXPECT_EQ(quads[3].blend, Mireku::Renderer::SpriteRenderer::kBlendAdd);
    EXPECT_EQ(sparkle.size(), 1u);
}
