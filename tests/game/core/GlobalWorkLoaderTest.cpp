#include "support/GameStateFixture.h"

#include "engine/resource/ResourceLoader.h"
#include "support/FieldRows.h"
#include "tools/sampledata/Builder.h"

using Mireku::Resource::ResourceLoader;

// The tables reach the game through the packed archives the builder writes.
TEST_F(GameStateTest, TablesLoadThroughTheResourceLoaderFromTheArchives) {
    sampledata::Staging staging;
    std::string error;
    for (auto& f : SampleData::BuildGameTables())
        ASSERT_TRUE(staging.Add("parameter", "code/" + f.name, std::move(f.bytes), &error))
            << error;
    ASSERT_TRUE(sampledata::WriteOutput(staging, docs + "/data", &error)) << error;

    ResourceLoader* loader = ResourceLoader::CreateInstance();
    ASSERT_TRUE(loader && loader->Initialize({}));
    loader->SetMode(ResourceLoader::kArchives);
    loader->OpenArchive((docs + "/data/parameter").c_str());
    gw->Initialize();
    ResourceLoader::DestroyInstance();

    const GameTables& t = gw->tables;
    EXPECT_EQ(t.shipParam[1].Count<ShipParamRow>(), 36u);
    EXPECT_EQ(t.ebssSecondBase[5], 24u);
    EXPECT_EQ(t.BossRowCount(2), 650u);
    EXPECT_NE(t.Timeline(6, 23), nullptr);
    EXPECT_EQ(gw->player.nextExtend, 1500000u); // mode 1's first extend from the system row
    EXPECT_EQ(gw->player.lives, 2);
    EXPECT_EQ(gw->rankingMode, 11u);
    EXPECT_EQ(gw->rankingPlace, -1);
}

TEST_F(GameStateTest, WithoutALoaderEveryTableIsAbsent) {
    gw->Initialize();
    EXPECT_EQ(gw->tables.system.data, nullptr);
    EXPECT_EQ(gw->GetShipParam(0), nullptr);
    EXPECT_EQ(gw->player.nextExtend, 0u);
    gw->player.AddScore(10); // no system row: no extend, no crash
    EXPECT_EQ(gw->player.extends, 0);
    gw->player.AddBarionGauge(10);
    EXPECT_EQ(gw->player.barionGauge, 0);
}

// A run starts from the defaults: mode 1 on ship table 0, no game, story
// or replay under way, no sub weapon unlocked, no scene word, no pilot
// chosen yet; Initialize puts the per-run values back (stage 0, no ranking
// entry, the replay off and empty, a fresh player on ship 0) whatever was
// left before it.
TEST_F(GameStateTest, ARunStartsFromTheDefaultsAndInitializeRestoresThem) {
    const auto check = [this](const char* when) {
        SCOPED_TRACE(when);
        testsupport::ExpectFields<int64_t>({
            {"stage", gw->stage, 0},
            {"mode", gw->mode, 1},
            {"ship table variant", gw->shipTableVariant, 0},
            {"game type", gw->gameType, 0},
            {"game state", gw->gameState, 0},
            {"sub weapons unlocked", gw->subWeaponUnlocked, 0},
            {"ranking mode", gw->rankingMode, 11},
            {"ranking place", gw->rankingPlace, -1},
            {"scene word", gw->sceneWord, -1},
            {"story mode", gw->storyMode, 0},
            {"story flag 2", gw->storyFlag2, 0},
            {"story pending", gw->storyPending, 0},
            {"story request", gw->storyRequest, 0},
            {"recording", gw->recording, 0},
            {"playing", gw->playing, 0},
            {"replay buffer", gw->replayBuffer != nullptr, 0},
            {"replay position", gw->replayPosition, 0},
            {"replay size", gw->replaySize, 0},
            {"hits taken", gw->hitsTaken, 0},
            {"misses", gw->misses, 0},
            {"hits taken 2", gw->hitsTaken2, 0},
            {"misses 2", gw->misses2, 0},
            {"continue countdown", gw->continueCountdown, 0},
            {"last pilot", gw->lastPilot, -1},
            {"ship", gw->player.ship, 0},
            {"score", int64_t(gw->player.score), 0},
            {"continues", gw->player.continues, 0},
        });
    };
    gw->Initialize(source);
    check("a new run");
    gw->stage = 5;
    gw->rankingMode = 3;
    gw->rankingPlace = 4;
    gw->player.ship = 3;
    gw->player.score = 9;
    gw->player.continues = 2;
    gw->StartReplayRecording();
    ASSERT_EQ(gw->recording, 1);
    gw->playing = 1;
    gw->Initialize(source);
    check("initialized again");
}
