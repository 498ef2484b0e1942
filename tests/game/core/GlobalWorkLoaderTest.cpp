#include "support/GameStateFixture.h"

#include "engine/resource/ResourceLoader.h"
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
