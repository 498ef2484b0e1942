// A boss part's damage past 65535: it adds up in full, so a part of more
// hit points than that can still be shot off, and a heavy hit on a nearly
// spent part finishes it instead of wrapping its damage back to little.
#include "game/enemy/boss01/BossCreation.h"
#include "game/enemy/boss01/EnemyBoss01.h"
#include "game/enemy/boss01/EnemyBossBarrel.h"
#include "support/EnemyTestSupport.h"

namespace {

using stage_test::TestShot;

class BossPartDamage : public enemy_test::EnemyTest {
protected:
    // Stage 0's boss with its first part given `health` hit points, in its
    // fight with that part open.
    EnemyBossBarrel* OpenPart(int32_t health) {
        WriteStageFiles(0);
        Play(1, 0);
        // Group 0, part 1.
        world.gw->tables.boss[1].MutableAt<BossRecord>(1)->health = health;
        auto* body = static_cast<EnemyBoss01*>(CreateEnemyBoss(director, 280, 0));
        EXPECT_NE(body, nullptr);
        if (!body)
            return nullptr;
        for (int i = 0; i < 400 && body->GetState() != EnemyBoss01::kFight; ++i)
            Frame();
        Frame();
        const std::vector<EnemyBossBarrel*> parts = ChildrenOf<EnemyBossBarrel>();
        EXPECT_FALSE(parts.empty());
        if (parts.empty() || !parts[0]->IsHitShapeActive())
            return nullptr;
        return parts[0];
    }
    void Hit(EnemyBossBarrel* part, int16_t attack) {
        TestShot shot(director, *part->GetPosition(), attack);
        part->OnCollision(&shot);
    }
    float Shown() const { return BossGauge::Shared().bossPartHealth[0]; }
};

} // namespace

TEST_F(BossPartDamage, APartOfSeventyThousandPointsIsShotOff) {
    EnemyBossBarrel* part = OpenPart(70000);
    ASSERT_NE(part, nullptr);
    const uint32_t kills = SoundCount(EnemyBossBarrel::kKillSound);
    const uint64_t score = world.gw->player.score;
    Hit(part, 30000);
    Hit(part, 30000);
    EXPECT_TRUE(part->IsAlive());
    EXPECT_EQ(Shown(), 10000.0f);
    Hit(part, 30000); // 90000: a 16-bit count would have wrapped to 24464
    EXPECT_EQ(part->GetDamage(), 90000);
    EXPECT_FALSE(part->IsAlive());
    EXPECT_FALSE(part->IsHitShapeActive());
    EXPECT_EQ(Shown(), 0.0f);
    EXPECT_EQ(SoundCount(EnemyBossBarrel::kKillSound), kills + 1);
    EXPECT_EQ(world.gw->player.score, score + 50000);
}

TEST_F(BossPartDamage, AHitCarryingTheDamagePast65535FinishesThePart) {
    EnemyBossBarrel* part = OpenPart(60000);
    ASSERT_NE(part, nullptr);
    Hit(part, 25000);
    Hit(part, 25000);
    EXPECT_TRUE(part->IsAlive());
    EXPECT_EQ(Shown(), 10000.0f);
    const uint32_t hits = SoundCount(EnemyBossBarrel::kHitSound);
    Hit(part, 20000); // 70000: wrapped to 4464 it would show 55536 left
    EXPECT_EQ(part->GetDamage(), 70000);
    EXPECT_FALSE(part->IsAlive());
    EXPECT_EQ(Shown(), 0.0f);
    EXPECT_EQ(SoundCount(EnemyBossBarrel::kHitSound), hits) << "a kill, not a hit";
}
