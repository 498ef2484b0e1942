// A generated stage with every small family, the type 9 groups, rings,
// pairs, swarms and O001 in its timeline, and its map objects scrolling in
// over its whole map run (5400 frames), played twice from one recording with
// different cosmetic seeds: the per-frame hashes (with the small families'
// and map objects' states and the map scroll) agree, and the stage's whole
// tree goes back to the pool.
#include "game/core/GameObjectAllocator.h"
#include "game/core/ReplayStream.h"
#include "game/enemy/map/EnemyMapObject.h"
#include "game/enemy/map/EnemyO001.h"
#include "game/enemy/small/EnemyS003.h"
#include "game/enemy/small/EnemyS004.h"
#include "game/enemy/small/EnemyS005.h"
#include "game/enemy/small/EnemyS008.h"
#include "game/enemy/small/EnemyS009.h"
#include "game/enemy/small/EnemyS010.h"
#include "game/enemy/small/EnemyS011.h"
#include "game/enemy/small/EnemyS012.h"
#include "game/enemy/small/EnemyS015.h"
#include "game/enemy/small/EnemyS018.h"
#include "game/stage/StageInput.h"
#include "support/StageReplayHarness.h"

#include <set>
#include <string>
#include <typeindex>

namespace {

using stage_replay::StageHarness;

constexpr uint32_t kStage = 2; // a stage with every family (and an object sheet)
constexpr uint32_t kFrames = 5400;

struct StageRun {
    std::vector<uint64_t> hashes;
    std::set<std::type_index> seen;
    uint32_t liveBefore = 0;
    uint32_t liveAfter = 0;
    float mapScroll = 0.0f;
};

StageHarness::Options StageOptions(uint32_t seed) {
    StageHarness::Options options;
    options.mode = 1;
    options.stage = kStage;
    options.stream0Seed = seed;
    return options;
}

// Shot held, weaving left and right.
std::vector<uint8_t> Recording() {
    std::vector<uint8_t> recording(ReplayStream::kHeaderSize);
    {
        StageHarness harness;
        EXPECT_TRUE(harness.Start(StageOptions(1)));
        ReplayStream::WriteHeader(recording.data(), {GlobalWork::GetInstance()->player, kStage, 1});
    }
    for (uint32_t f = 0; f < kFrames + 60; ++f) {
        uint32_t w = StageInput::kShot;
        w |= (f / 90) % 2 ? 0x40u : 0x80u;
        for (int b = 0; b < 4; ++b)
            recording.push_back(static_cast<uint8_t>(w >> (8 * b)));
    }
    return recording;
}

StageRun Play(const std::vector<uint8_t>& recording, uint32_t seed) {
    StageRun run;
    StageHarness harness;
    EXPECT_TRUE(harness.Start(StageOptions(seed)));
    // The stage's pictures (the map stack scrolls by their heights), the
    // object sheet and the enemy and warp sheets.
    harness.World().WriteSample("stage/");
    harness.World().WriteSample("texture/game/enemy/");
    for (SampleData::StageFile& f : SampleData::BuildBackgroundFiles("stage/stage03"))
        harness.World().Write(f.path, f.bytes);
    run.liveBefore = GameObjectAllocator::GetInstance()->LiveCount();
    EXPECT_TRUE(harness.BeginPlayback(recording));
    GlobalWork& gw = *GlobalWork::GetInstance();
    while (harness.hashes.size() < kFrames) {
        gw.player.invincible = 1;
        gw.player.invincibleTimer = -1;
        harness.Frame();
        for (GameObject* c = harness.Director()->GetFirstChild(); c; c = c->GetNextSibling())
            run.seen.insert(std::type_index(typeid(*c)));
        if (harness.hashes.size() > kFrames + 200)
            break;
    }
    run.mapScroll = harness.Director()->GetMapScroll();
    run.hashes = harness.hashes;
    harness.End();
    run.liveAfter = GameObjectAllocator::GetInstance()->LiveCount();
    return run;
}

} // namespace

TEST(EnemyStageReplay, TheWholeMapRunReplaysWhateverTheCosmeticSeedAndGivesBackThePool) {
    const std::vector<uint8_t> recording = Recording();
    const StageRun a = Play(recording, 1);
    const StageRun b = Play(recording, 977);
    ASSERT_EQ(a.hashes.size(), kFrames);
    ASSERT_EQ(b.hashes.size(), kFrames);
    for (size_t i = 0; i < a.hashes.size(); ++i)
        ASSERT_EQ(a.hashes[i], b.hashes[i]) << "frame " << i;
    EXPECT_EQ(a.liveAfter, a.liveBefore);
    EXPECT_EQ(b.liveAfter, b.liveBefore);
    // The map ran its whole length: the stack of 7200 pixels over 5400 frames.
    EXPECT_NEAR(a.mapScroll, 6480.0f, 10.0f);
    for (const std::type_index t :
         {std::type_index(typeid(EnemyS003)), std::type_index(typeid(EnemyS004)),
          std::type_index(typeid(EnemyS005)), std::type_index(typeid(EnemyS008)),
          std::type_index(typeid(EnemyS009)), std::type_index(typeid(EnemyS010)),
          std::type_index(typeid(EnemyS011)), std::type_index(typeid(EnemyS012)),
          std::type_index(typeid(EnemyS015)), std::type_index(typeid(EnemyS018)),
          std::type_index(typeid(EnemyO001)), std::type_index(typeid(EnemyMapObject))})
        EXPECT_TRUE(a.seen.count(t)) << t.name();
}
