// A recorded stage played twice through its boss's arrival, fight, death
// and the clear: the per-frame hashes, which cover the ship, the boss block,
// the bosses and their parts, the emitters and the enemy shots, agree. The
// ship holds its shot throughout with a strong shot row, and is put under the
// body's core (and kept from harm) in every frame of the fight, the same in
// every run. The dying boss draws its explosions (and its items their
// scatter) from the presentation stream, so both runs seed that stream
// alike; its fall draws from the play stream, so the clear comes on one
// frame whatever the presentation stream holds.
#include "game/core/GameState.h"
#include "game/core/tables/ShotParamRow.h"
#include "game/enemy/boss01/EnemyBoss01.h"
#include "game/stage/StageInput.h"
#include "support/StageReplayHarness.h"

namespace {

using stage_replay::StageHarness;
using B = EnemyBoss01;

struct BossRun {
    std::vector<uint64_t> hashes;
    int32_t fightFrame = -1; // frames hashed when the fight had begun
    int32_t deathFrame = -1; // frames hashed when the body had been destroyed
    uint32_t gameState = 0;
    uint64_t score = 0;
};

std::vector<uint8_t> Recording(uint32_t frames) {
    std::vector<uint8_t> recording;
    {
        StageHarness harness;
        EXPECT_TRUE(harness.Start({}));
        recording.resize(ReplayStream::kHeaderSize);
        ReplayStream::WriteHeader(recording.data(), {GlobalWork::GetInstance()->player, 0, 1});
    }
    for (uint32_t f = 0; f < frames; ++f) {
        const uint32_t w = StageInput::kShot;
        for (int b = 0; b < 4; ++b)
            recording.push_back(static_cast<uint8_t>(w >> (8 * b)));
    }
    return recording;
}

// The recording played back; in the fight the ship stands under the core.
BossRun Play(const std::vector<uint8_t>& recording, uint32_t seed) {
    BossRun run;
    StageHarness harness;
    StageHarness::Options options;
    options.stream0Seed = seed;
    EXPECT_TRUE(harness.Start(options));
    harness.World().WriteSample("texture/game/boss/");
    stage_test::StrongMainShots(GlobalWork::GetInstance()->tables, 300);
    EXPECT_TRUE(harness.BeginPlayback(recording));
    GlobalWork& gw = *GlobalWork::GetInstance();
    for (int guard = 0; guard < 4000 && gw.gameState != GameState::kCleared; ++guard) {
        harness.Frame();
        GameObjectDirector* d = harness.Director();
        for (GameObject* c = d->GetFirstChild(); c; c = c->GetNextSibling()) {
            auto* b = dynamic_cast<B*>(c);
            if (!b || !b->IsAlive())
                continue;
            if (b->GetState() == B::kFight && run.fightFrame < 0)
                run.fightFrame = static_cast<int32_t>(harness.hashes.size());
            if (b->GetState() == B::kFight && b->GetFlag() && d->GetPlayer()) {
                const HitShape& core = *b->GetHitShape();
                gw.player.invincible = 1;
                gw.player.invincibleTimer = -1;
                d->GetPlayer()->SetPosition((core.minX + core.maxX) / 2 - 360.0f, 600.0f);
            }
            if (b->GetState() >= B::kFalling && run.deathFrame < 0)
                run.deathFrame = static_cast<int32_t>(harness.hashes.size());
        }
    }
    run.hashes = harness.hashes;
    run.gameState = gw.gameState;
    run.score = gw.player.score;
    return run;
}

} // namespace

TEST(BossReplay, TwoRunsOfOneRecordingAgreeThroughTheBossAndTheClear) {
    const std::vector<uint8_t> recording = Recording(4000);
    const BossRun a = Play(recording, 5);
    const BossRun b = Play(recording, 5);
    ASSERT_EQ(a.gameState, GameState::kCleared);
    ASSERT_GT(a.fightFrame, 0) << "the boss came and fought";
    ASSERT_GT(a.deathFrame, a.fightFrame) << "and died to the ship's shots";
    EXPECT_EQ(a.fightFrame, b.fightFrame);
    EXPECT_EQ(a.deathFrame, b.deathFrame);
    EXPECT_EQ(a.score, b.score);
    ASSERT_EQ(a.hashes.size(), b.hashes.size());
    for (size_t i = 0; i < a.hashes.size(); ++i)
        ASSERT_EQ(a.hashes[i], b.hashes[i]) << "frame " << i;

    // Another presentation seed agrees until the frame of the death, from
    // which the scattered items show in the hashes; the stage still clears
    // on the same frame.
    const BossRun c = Play(recording, 0xBADC0DE);
    EXPECT_EQ(c.gameState, GameState::kCleared);
    EXPECT_EQ(c.hashes.size(), a.hashes.size());
    ASSERT_GT(c.hashes.size(), static_cast<size_t>(a.deathFrame));
    for (int32_t i = 0; i < a.deathFrame - 1; ++i)
        ASSERT_EQ(a.hashes[i], c.hashes[i]) << "frame " << i;
}
