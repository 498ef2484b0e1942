// A recorded stage played twice through its boss's arrival, fight, death
// and the clear: the per-frame hashes, which cover the ship, the boss block,
// the bosses and their parts, the emitters and the enemy shots, agree. The
// ship holds its shot throughout with a strong shot row, and is put under the
// body's core (and kept from harm) in every frame of the fight, the same in
// every run. The dying boss draws its explosions and their timing from the
// presentation stream, so both runs seed that stream alike; its fall draws
// from the play stream, so the clear comes on one frame whatever the
// presentation stream holds.
//
// The items a dying boss and its parts scatter (their shots in the air
// turned into Hyperio items by a laser kill, into Grabuster items by a
// Grabuster kill) lie alike in a run under another presentation seed, other
// memory contents and another chain level left by an earlier game.
#include "game/core/GameState.h"
#include "game/core/tables/ShotParamRow.h"
#include "game/enemy/boss01/EnemyBoss01.h"
#include "game/enemy/boss01/EnemyBossBarrel.h"
#include "game/enemy/item/ItemGrabuster.h"
#include "game/enemy/item/ItemHyperio.h"
#include "game/enemy/shot/EnemyShotBase.h"
#include "game/stage/StageInput.h"
#include "support/ArenaFillSupport.h"
#include "support/StageReplayHarness.h"

#include <algorithm>
#include <set>

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

// The stage of the boss played back from `recording` with the presentation
// stream seeded by `seed` and the ship's shots of `attack`.
void BeginBossStage(StageHarness& harness, const std::vector<uint8_t>& recording, uint32_t seed,
                    int16_t attack) {
    StageHarness::Options options;
    options.stream0Seed = seed;
    EXPECT_TRUE(harness.Start(options));
    harness.World().WriteSample("texture/game/boss/");
    stage_test::StrongMainShots(GlobalWork::GetInstance()->tables, attack);
    EXPECT_TRUE(harness.BeginPlayback(recording));
}

// The recording played back; in the fight the ship stands under the core.
BossRun Play(const std::vector<uint8_t>& recording, uint32_t seed) {
    BossRun run;
    StageHarness harness;
    BeginBossStage(harness, recording, seed, 300);
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

// An item as it lies in a frame: Hyperio items with their drift, Grabuster
// items with their chain level and delay.
struct ItemAt {
    bool hyperio;
    Mireku::Common::Vector2 position;
    Mireku::Common::Vector2 velocity;
    uint32_t chainLevel;
    uint16_t delay;
    bool operator==(const ItemAt&) const = default;
};

struct ScatterRun {
    std::vector<std::vector<ItemAt>> frames; // the live items of each frame of play
    uint32_t gameState = 0;
    uint64_t score = 0;
};

// A hit by a weapon of `family` as the collision pass reports it.
void Strike(GameObjectDirector& d, GameObject& target, uint32_t family, int16_t attack) {
    stage_test::TestShot shot(&d, *target.GetPosition(), attack, family);
    target.OnCollision(&shot);
}

// The recording played back with the ship kept from harm and its shots
// harmless; in the fight the script strikes, on fixed frames of the fight:
// every second enemy shot with the Grabuster (items at the game-wide chain
// level), the first part with the laser (its shots turn into Hyperio items),
// the body with a main shot to a quarter of its health (the second part
// opens), the second part with the Grabuster (its shots turn into Grabuster
// items) and the body with the laser. `chainLeft` is the chain level an
// earlier game left, given as the hits that make it.
ScatterRun PlayScatter(const std::vector<uint8_t>& recording, uint32_t seed, uint8_t fill,
                       uint32_t chainLeft) {
    using Family = PlayerShotBase;
    const arena_fill::Scoped memory(fill);
    GameObject::StartChain(chainLeft);
    ScatterRun run;
    StageHarness harness;
    BeginBossStage(harness, recording, seed, 0);
    GlobalWork& gw = *GlobalWork::GetInstance();
    int32_t fight = -1;
    for (int guard = 0; guard < 4000 && gw.gameState != GameState::kCleared; ++guard) {
        gw.player.invincible = 1;
        gw.player.invincibleTimer = -1;
        harness.Frame();
        GameObjectDirector& d = *harness.Director();
        if (d.GetState() != GameObjectDirector::kPlay)
            continue;
        for (GameObject* c = d.GetFirstChild(); c; c = c->GetNextSibling()) {
            auto* b = dynamic_cast<B*>(c);
            if (!b || !b->IsAlive() || b->GetState() != B::kFight || !b->GetFlag())
                continue;
            ++fight;
            if (fight == 60) {
                bool odd = false;
                for (GameObject* o = d.GetFirstChild(); o; o = o->GetNextSibling())
                    if (dynamic_cast<EnemyShotBase*>(o) && o->IsAlive() && (odd = !odd))
                        Strike(d, *o, Family::kFamilyGrabuster, 1);
            }
            EnemyBossBarrel* first = b->GetPart(0);
            EnemyBossBarrel* second = b->GetPart(b->GetPartCount() - 1);
            if (fight == 90 && first && first->GetFlag())
                Strike(d, *first, Family::kFamilyBarionLaser, 30000);
            if (fight == 100)
                Strike(d, *b, Family::kFamilyShot,
                       static_cast<int16_t>(std::min(b->GetHealth() / 4 + 1, 30000)));
            if (fight == 200 && second && second->GetFlag())
                Strike(d, *second, Family::kFamilyGrabuster, 30000);
            if (fight == 260)
                for (int i = 0; i < 4 && b->IsAlive(); ++i)
                    Strike(d, *b, Family::kFamilyBarionLaser, 30000);
        }
        std::vector<ItemAt> items;
        for (GameObject* o = d.GetFirstChild(); o; o = o->GetNextSibling()) {
            if (!o->IsAlive())
                continue;
            if (auto* h = dynamic_cast<ItemHyperio*>(o))
                items.push_back({true, *h->GetPosition(), h->GetVelocity(), 0, 0});
            if (auto* g = dynamic_cast<ItemGrabuster*>(o))
                items.push_back({false, *g->GetPosition(), {}, g->GetChainLevel(), g->GetDelay()});
        }
        run.frames.push_back(std::move(items));
    }
    run.gameState = gw.gameState;
    run.score = gw.player.score;
    return run;
}

} // namespace

TEST(BossReplay, TheItemsADyingBossScattersLieAlikeWhateverTheSeedMemoryAndLastGame) {
    const std::vector<uint8_t> recording = Recording(4000);
    const ScatterRun a = PlayScatter(recording, 5, 0xA5, 0);
    const ScatterRun b = PlayScatter(recording, 0xBADC0DE, 0x3C, 49);
    ASSERT_EQ(a.gameState, GameState::kCleared);
    EXPECT_EQ(b.gameState, GameState::kCleared);

    // The scatter happened: Hyperio items drifting several ways, Grabuster
    // items at their chain levels and delays.
    std::set<float> drifts;
    size_t grabuster = 0;
    for (const std::vector<ItemAt>& frame : a.frames)
        for (const ItemAt& item : frame) {
            if (item.hyperio)
                drifts.insert(item.velocity.x);
            grabuster += !item.hyperio;
        }
    EXPECT_GE(drifts.size(), 4u) << "Hyperio items scattered from the laser kills";
    EXPECT_GT(grabuster, 0u) << "Grabuster items from shots and from the second part";

    EXPECT_EQ(a.score, b.score);
    ASSERT_EQ(a.frames.size(), b.frames.size());
    for (size_t f = 0; f < a.frames.size(); ++f) {
        ASSERT_EQ(a.frames[f].size(), b.frames[f].size()) << "frame " << f;
        for (size_t i = 0; i < a.frames[f].size(); ++i) {
            const ItemAt& x = a.frames[f][i];
            const ItemAt& y = b.frames[f][i];
            ASSERT_EQ(x, y) << "frame " << f << ", item " << i << ": at (" << x.position.x
                            << ", " << x.position.y << ") drifting " << x.velocity.x
                            << ", level " << x.chainLevel << " against (" << y.position.x << ", "
                            << y.position.y << ") drifting " << y.velocity.x << ", level "
                            << y.chainLevel;
        }
    }
}

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
    // which the dying body's explosion countdown (drawn from that stream,
    // and hashed) shows; the stage still clears on the same frame.
    const BossRun c = Play(recording, 0xBADC0DE);
    EXPECT_EQ(c.gameState, GameState::kCleared);
    EXPECT_EQ(c.hashes.size(), a.hashes.size());
    ASSERT_GT(c.hashes.size(), static_cast<size_t>(a.deathFrame));
    for (int32_t i = 0; i < a.deathFrame - 1; ++i)
        ASSERT_EQ(a.hashes[i], c.hashes[i]) << "frame " << i;
}
