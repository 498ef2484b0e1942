#include "game/enemy/EnemyDefault.h"
#include "game/enemy/EnemyFactory.h"
#include "game/enemy/explosion/EnemyDeadBomb.h"
#include "game/enemy/explosion/EnemyDeadBombParts.h"
#include "game/enemy/explosion/EnemyDeadBomb_Middle.h"
#include "game/enemy/item/ItemHyperio.h"
#include "support/StageTestSupport.h"

namespace {

using stage_test::StageTest;
using stage_test::TestEnemyShot;
using stage_test::TestShot;

// Ordinary enemies on the sample rows of mode 1, stage 0, under a director
// that plays (its own timeline is empty: mode 1's table is swapped for none).
class EnemyDefaultTest : public StageTest {
protected:
    void SetUp() override {
        StageTest::SetUp();
        MakeDirector(1, 0);
    }
    template <class T> size_t CountOf() const { return ChildrenOf<T>().size(); }
    EnemyDefault* Enemy(int32_t type, float x = 0.0f, float y = 200.0f) {
        return GameObject::Create<EnemyDefault>(director, director, type,
                                                Mireku::Common::Vector2{x, y});
    }
    const EnemyRecord& Row(int32_t type) const {
        return *world.gw->tables.EnemyRow(1, 0, static_cast<uint32_t>(type));
    }
    // A hit of `attack` by a weapon of `family`, as the collision pass reports it.
    void Hit(EnemyDefault* enemy, int16_t attack, uint32_t family = PlayerShotBase::kFamilyShot) {
        TestShot shot(director, *enemy->GetPosition(), attack, family);
        enemy->OnCollision(&shot);
    }
};

} // namespace

TEST_F(EnemyDefaultTest, TakesItsRowAndItsHitBoxAtTheSpawnPoint) {
    EnemyDefault* e = Enemy(2, -100.0f, 150.0f);
    ASSERT_NE(e, nullptr);
    const EnemyRecord& row = Row(2);
    EXPECT_EQ(e->GetRow(), &row);
    EXPECT_EQ(e->GetKind(), GameObject::kKindEnemy);
    EXPECT_EQ(e->GetCollisionGroup(), 6u);
    EXPECT_FLOAT_EQ(e->GetSpeed(), row.speed * 0.16f);
    e->UpdateTree();
    const HitShape& s = *e->GetHitShape();
    EXPECT_EQ(s.kind, HitShape::kBox);
    EXPECT_EQ(s.minX, 260.0f + row.hitOffsetX - (row.hitWidth >> 1));
    EXPECT_EQ(s.maxY - s.minY, row.hitHeight);
    EXPECT_EQ(director->GetCollisions().Head(6), e);
    for (int i = 0; i < 10; ++i)
        e->UpdateTree();
    EXPECT_EQ(e->GetPosition()->x, -100.0f) << "it does not move yet";
}

TEST_F(EnemyDefaultTest, MirrorsOnlyMirrorableRowsWithTheShipRightOfCentre) {
    ASSERT_EQ(Row(1).mirror, 1);
    ASSERT_EQ(Row(2).mirror, 0);
    EXPECT_FALSE(Enemy(1, -50.0f)->IsMirrored());
    director->SetScrollRatio(0.5f);
    EnemyDefault* mirrored = Enemy(1, -50.0f);
    EXPECT_TRUE(mirrored->IsMirrored());
    EXPECT_EQ(mirrored->GetPosition()->x, 50.0f);
    EXPECT_FALSE(Enemy(2, -50.0f)->IsMirrored());
    director->SetScrollRatio(-0.5f);
    EXPECT_FALSE(Enemy(1, -50.0f)->IsMirrored());
}

TEST_F(EnemyDefaultTest, DamageAddsUpToTheRowsHealth) {
    EnemyDefault* e = Enemy(3);
    const int16_t health = Row(3).health;
    ASSERT_GT(health, 10);
    Hit(e, static_cast<int16_t>(health - 1));
    EXPECT_TRUE(e->IsAlive());
    EXPECT_EQ(e->GetDamage(), health - 1);
    TestEnemyShot shot(director, {0, 0});
    e->OnCollision(&shot);
    EXPECT_TRUE(e->IsAlive()) << "only player weapons hurt";
    Hit(e, 1);
    EXPECT_FALSE(e->IsAlive());
    EXPECT_FALSE(e->IsHitShapeActive());
    EXPECT_EQ(e->GetVanishCountdown(), GameObject::kVanishFrames);
}

TEST_F(EnemyDefaultTest, AShotKillPaysScoreAndGaugeAndExplodes) {
    EnemyDefault* e = Enemy(4);
    const EnemyRecord& row = Row(4);
    Hit(e, 30000);
    EXPECT_EQ(world.gw->player.score, static_cast<uint64_t>(row.score));
    EXPECT_EQ(world.gw->player.barionGauge, row.barionReward);
    EXPECT_EQ(CountOf<EnemyDeadBomb>(), 1u);
    EXPECT_EQ(CountOf<EnemyDeadBombParts>(), 16u);
    EXPECT_EQ(CountOf<EnemyDeadBomb_Middle>(), 0u);
}

TEST_F(EnemyDefaultTest, LaserShieldAndGrabusterKillsPayTheirWay) {
    EnemyDefault* laser = Enemy(5, 40.0f, 90.0f);
    Hit(laser, 30000, PlayerShotBase::kFamilyBarionLaser);
    const uint64_t score = static_cast<uint64_t>(Row(5).score);
    EXPECT_EQ(world.gw->player.score, score);
    EXPECT_EQ(world.gw->player.barionGauge, 0) << "no gauge for a laser kill";
    const auto items = ChildrenOf<ItemHyperio>();
    ASSERT_EQ(items.size(), 1u);
    ItemHyperio* item = items[0];
    EXPECT_EQ(item->GetValue(), 0);
    EXPECT_EQ(item->GetPosition()->x, 40.0f);

    Hit(Enemy(5), 30000, PlayerShotBase::kFamilyBarionShield);
    EXPECT_EQ(world.gw->player.score, 2 * score);
    EXPECT_EQ(world.gw->player.barionGauge, 0);

    // Grabuster kills count; every tenth raises the multiplier 32, 64, ...
    world.gw->player.score = 0;
    world.gw->player.grabusterHits = 8;
    Hit(Enemy(5), 30000, PlayerShotBase::kFamilyGrabuster);
    EXPECT_EQ(world.gw->player.grabusterHits, 9u);
    EXPECT_EQ(world.gw->player.score, score * 32);
    Hit(Enemy(5), 30000, PlayerShotBase::kFamilyGrabuster);
    EXPECT_EQ(world.gw->player.score, score * 32 + score * 64);
    world.gw->player.grabusterHits = 60;
    Hit(Enemy(5), 30000, PlayerShotBase::kFamilyGrabuster);
    EXPECT_EQ(world.gw->player.score, score * 32 + score * 64 + score * 512);
}

TEST_F(EnemyDefaultTest, AnotherFamilyKillsWithoutReward) {
    EnemyDefault* e = Enemy(6);
    Hit(e, 30000, 7);
    EXPECT_FALSE(e->IsAlive());
    EXPECT_EQ(world.gw->player.score, 0u);
    EXPECT_EQ(CountOf<EnemyDeadBomb>(), 0u);
}

TEST_F(EnemyDefaultTest, MiddleRowsBurstInAChain) {
    for (int32_t type : {78, 79, 170, 1}) {
        SCOPED_TRACE(type);
        const size_t middles = CountOf<EnemyDeadBomb_Middle>();
        const size_t bombs = CountOf<EnemyDeadBomb>();
        Hit(Enemy(type), 30000);
        const bool middle = type >= 79 && type <= 170;
        EXPECT_EQ(CountOf<EnemyDeadBomb_Middle>(), middles + (middle ? 1 : 0));
        EXPECT_EQ(CountOf<EnemyDeadBomb>(), bombs + (middle ? 0 : 1));
    }
}

TEST_F(EnemyDefaultTest, TheFactoryMakesOrdinaryEnemiesOfRowsOnly) {
    CreateEnemy(director, 12, {10.0f, 20.0f});
    CreateEnemy(director, 171, {10.0f, 20.0f}); // past the table
    CreateEnemy(director, -1, {10.0f, 20.0f});
    CreateEnemy(director, 285, {10.0f, 20.0f}); // a boss: its own rows
    EXPECT_EQ(CountOf<EnemyDefault>(), 1u);
    world.gw->tables.Free();
    CreateEnemy(director, 12, {10.0f, 20.0f});
    EXPECT_EQ(CountOf<EnemyDefault>(), 1u) << "no table, no enemy";
}

TEST_F(EnemyDefaultTest, ATestWeaponKillsThroughTheCollisionPass) {
    ASSERT_TRUE(world.RunUntilPlay(director));
    EnemyDefault* e = Enemy(7, 0.0f, 300.0f);
    auto* shot = GameObject::Create<TestShot>(director, director, Mireku::Common::Vector2{0, 300},
                                              int16_t{30000});
    ASSERT_TRUE(e && shot);
    world.Frame(director); // both register
    EXPECT_TRUE(e->IsAlive());
    world.Frame(director); // the pass finds the pair
    EXPECT_FALSE(e->IsAlive());
    EXPECT_EQ(shot->hits, 1);
    EXPECT_GT(world.gw->player.score, 0u);
}
