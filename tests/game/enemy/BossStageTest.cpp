// Whole stages on the generated data, headless: the timeline brings the
// stage's boss, the ship's main shot destroys it and the stage is cleared;
// the last stage of a loop goes through the boss's second form. The ship
// plays a recording of shot held; its shot row is made strong (every frame,
// heavy shots) and the ship is kept under the body's core and invincible, so
// that the fight is about the boss.
#include "game/core/GameState.h"
#include "game/core/ReplayStream.h"
#include "game/core/tables/ShotParamRow.h"
#include "game/core/tables/TimelineEntry.h"
#include "game/enemy/boss01/BossCreation.h"
#include "game/enemy/boss01/EnemyBoss01.h"
#include "game/enemy/boss01/EnemyBossBarrel.h"
#include "game/enemy/shot/EnemyShotDefault.h"
#include "game/enemy/staging/StageClearDirection.h"
#include "game/player/PlayerShot.h"
#include "game/stage/GameObjectTimeline.h"
#include "game/stage/StageInput.h"
#include "support/StageRig.h"

namespace {

using namespace stage_test;

using B = EnemyBoss01;

class BossStageTest : public StageTest {
protected:
    static constexpr uint16_t kShotAttack = 300;

    // The stage `stage` on its sample files, its ship playing shot held with
    // a strong main shot, until the stage plays (the fly-in included).
    void Begin(uint32_t stage) {
        WriteStageFiles(stage);
        StrongMainShots(world.gw->tables, kShotAttack);
        world.gw->ResetPlayerWork();
        std::vector<uint8_t> replay(ReplayStream::kHeaderSize);
        ReplayStream::WriteHeader(replay.data(), {world.gw->player, stage, 1});
        for (int f = 0; f < 6000; ++f) {
            const uint32_t word = StageInput::kShot;
            replay.insert(replay.end(), reinterpret_cast<const uint8_t*>(&word),
                          reinterpret_cast<const uint8_t*>(&word) + 4);
        }
        ASSERT_TRUE(
            world.gw->StartReplayPlayback(replay.data(), static_cast<uint32_t>(replay.size())));
        Play(1, stage, false, true);
        ASSERT_NE(director->GetPlayer(), nullptr) << "the stage made its ship";
    }
    // The frame of the stage timeline's entry of `type`.
    int32_t EntryFrame(uint32_t stage, int16_t type) const {
        for (const TimelineEntry* e = world.gw->tables.Timeline(1, stage); e->type != -1; ++e)
            if (e->type == type)
                return e->frame;
        return -1;
    }
    // Frames until a body of `type` is on the field.
    B* AwaitBoss(int32_t type, int limit) {
        for (int i = 0; i < limit; ++i) {
            for (B* b : ChildrenOf<B>())
                if (b->GetType() == type && b->IsAlive())
                    return b;
            Frame();
        }
        return nullptr;
    }
    // The ship under the body's core, firing, frame after frame, until the
    // body is destroyed; the frames it took and how many of the ship's shots
    // were made.
    int ShootDown(B* b, int limit = 600) {
        int frames = 0;
        while (b->GetFlag() == 0 && frames < limit) { // until the fight opens it
            Frame();
            ++frames;
        }
        while (b->GetFlag() != 0 && frames < limit) {
            const HitShape& core = *b->GetHitShape();
            world.gw->player.invincible = 1;
            world.gw->player.invincibleTimer = -1;
            director->GetPlayer()->SetPosition((core.minX + core.maxX) / 2 - 360.0f, 600.0f);
            Frame();
            shots += Count<PlayerShot>();
            ++frames;
        }
        return frames;
    }
    size_t shots = 0;

    // Frames until the game state says the stage is cleared.
    int AwaitClear(int limit = 3000) {
        int frames = 0;
        while (world.gw->gameState != GameState::kCleared && frames < limit) {
            Frame();
            ++frames;
        }
        return frames;
    }
};

} // namespace

TEST_F(BossStageTest, TheFirstBossArrivesDiesToTheMainShotAndTheStageClears) {
    Begin(0);
    const int32_t arrival = EntryFrame(0, 280);
    ASSERT_GT(arrival, 0) << "the timeline ends with its boss";
    B* boss = AwaitBoss(280, arrival + 10);
    ASSERT_NE(boss, nullptr);
    EXPECT_EQ(director->GetTimeline()->GetFrame(), arrival);
    EXPECT_EQ(boss->GetGroup(), 0u);
    EXPECT_EQ(Count<EnemyBossBarrel>(),
              static_cast<size_t>(world.gw->tables.BossRow(1, 0)->partCount));

    const uint64_t score = world.gw->player.score;
    const int frames = ShootDown(boss);
    EXPECT_EQ(boss->GetFlag(), 0) << "destroyed after " << frames << " frames";
    EXPECT_GT(shots, 0u) << "by the ship's main shots";
    EXPECT_TRUE(boss->GetDamage() >= boss->GetHealth());
    EXPECT_EQ(boss->GetDamage() % kShotAttack, 0) << "every hit a main shot's";
    EXPECT_GE(world.gw->player.score, score + 100000);
    const int clear = AwaitClear();
    EXPECT_EQ(world.gw->gameState, GameState::kCleared) << clear << " frames";
    EXPECT_EQ(boss->GetState(), B::kFallen);
    EXPECT_EQ(Count<StageClearDirection>(), 1u);
    EXPECT_GT(director->GetTimeline()->GetHaltCounter(), 0);
    EXPECT_EQ(world.gw->stageEndWait, 90);
}

TEST_F(BossStageTest, TheLastStageOfTheLoopTurnsItsBossIntoTheSecondFormAndClears) {
    Begin(11);
    const int32_t arrival = EntryFrame(11, 291);
    ASSERT_GT(arrival, 0);
    B* first = AwaitBoss(291, arrival + 10);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetGroup(), 11u);
    ShootDown(first);
    ASSERT_EQ(first->GetFlag(), 0);
    B* second = AwaitBoss(292, 600);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->GetGroup(), 25u);
    EXPECT_NE(director->GetBossTexture(58), nullptr) << "the second set from slot 58";
    EXPECT_EQ(second->GetSpriteWidth(), director->GetBossTexture(58)->GetWidth());
    ShootDown(second);
    ASSERT_EQ(second->GetFlag(), 0);
    const int clear = AwaitClear();
    EXPECT_EQ(world.gw->gameState, GameState::kCleared) << clear << " frames";
    EXPECT_EQ(second->GetState(), B::kBlownUp);
    ASSERT_EQ(Count<StageClearDirection>(), 1u);
    EXPECT_FALSE(ChildrenOf<StageClearDirection>()[0]->FliesOut());
}

TEST_F(BossStageTest, TheBossesPartsFireAtTheShipThroughTheFight) {
    WriteStageFiles(0);
    Play(1, 0);
    PlaceShip({0.0f, 600.0f});
    auto* b = static_cast<B*>(CreateEnemyBoss(director, 280, 0));
    ASSERT_NE(b, nullptr);
    while (b->GetState() != B::kFight)
        Frame();
    size_t most = 0;
    for (int i = 0; i < 300; ++i) {
        Frame();
        const size_t n = ChildrenOf<EnemyShotDefault>().size();
        most = n > most ? n : most;
    }
    EXPECT_GT(most, 0u);
    for (EnemyShotDefault* s : ChildrenOf<EnemyShotDefault>())
        EXPECT_TRUE(dynamic_cast<EnemyBossBarrel*>(s->GetSource()) || !s->GetSource());
}
