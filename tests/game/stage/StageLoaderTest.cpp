// The stage loader: boss sets and their slots, the fixed slots and their
// folders, bounded names, paths, maps and warps, and every texture released.
#include "game/enemy/staging/StageTelop.h"
#include "game/stage/StageFiles.h"
#include "support/StageRig.h"
#include "tools/sampledata/GameTableData.h"

namespace {

using Tex = Mireku::Graphics::Texture;
using namespace stage_test;

// Loose stage files in the scratch folder, each picture of a width of its
// own so that a slot tells which file it holds.
class StageLoaderTest : public StageTest {
protected:
    void Picture(const std::string& path, uint32_t width) {
        world.Write(path, SampleData::SolidDds(width, 4, {10, 20, 30}));
    }
    // The boss set of a folder: body pictures 4-40 wide, parts 100+ and 200+.
    void BossSet(const std::string& folder, bool withSecondBody = true) {
        uint32_t w = 4;
        for (const char* name : StageFiles::kBossBodyNames) {
            if (withSecondBody || std::strcmp(name, "mainbody02.dds") != 0)
                Picture(folder + "/" + name, w);
            w += 4;
        }
        for (int p = 1; p <= 24; ++p) {
            char a[32], b[32];
            std::snprintf(a, sizeof a, "/part%02d_a.dds", p);
            std::snprintf(b, sizeof b, "/part%02d_b.dds", p);
            Picture(folder + a, 100 + 4 * p);
            Picture(folder + b, 200 + 4 * p);
        }
    }
    void Load(uint32_t stage, uint32_t gameType = 0) {
        world.gw->gameType = gameType;
        MakeDirector(mode, stage);
        ASSERT_EQ(director->GetState(), GameObjectDirector::kMapHeader) << "loaded at once";
    }
    uint32_t mode = 1;
    int16_t Width(Tex* t) const { return t ? t->GetWidth() : -1; }
    int16_t Boss(uint16_t slot) const { return Width(director->GetBossTexture(slot)); }
    BossRecord& BossRow(uint32_t row) {
        return *world.gw->tables.boss[1].MutableAt<BossRecord>(row);
    }
};

} // namespace

TEST_F(StageLoaderTest, ABossSetTakesSlotsInOrderAndItsPassesTwentyFourEach) {
    BossSet("texture/game/boss/stage01");
    Load(0);
    for (uint16_t s = 0; s < 10; ++s)
        EXPECT_EQ(Boss(s), 4 + 4 * s) << s;
    // Group 0 has two parts: their first pictures, then 22 slots skipped.
    EXPECT_EQ(Boss(10), 104);
    EXPECT_EQ(Boss(11), 108);
    EXPECT_EQ(Boss(12), -1);
    EXPECT_EQ(Boss(34), 204);
    EXPECT_EQ(Boss(35), 208);
    EXPECT_EQ(Boss(36), -1);
    EXPECT_EQ(Boss(58), -1) << "one set only";
}

TEST_F(StageLoaderTest, TheLastStageOfALoopLoadsASecondSetFromSlot58) {
    for (uint32_t stage : {11u, 23u}) {
        SCOPED_TRACE(stage);
        BossSet("texture/game/boss/stage12");
        BossSet("texture/game/boss/stage12_2");
        Load(stage);
        EXPECT_EQ(Boss(0), 4);
        EXPECT_EQ(Boss(58), 4);
        EXPECT_EQ(Boss(67), 40);
        DeleteDirector();
    }
    BossSet("texture/game/boss/stage11");
    Load(10);
    EXPECT_EQ(Boss(58), -1);
}

TEST_F(StageLoaderTest, AMissingBodyPictureShiftsTheLaterOnesDown) {
    BossSet("texture/game/boss/stage03", false);
    Load(2);
    EXPECT_EQ(Boss(0), 4);
    EXPECT_EQ(Boss(1), 12) << "mainbody03 in the second slot";
    EXPECT_EQ(Boss(8), 40);
    EXPECT_EQ(Boss(9), 104) << "the parts one slot earlier too";
    EXPECT_EQ(Boss(33), 204);
}

TEST_F(StageLoaderTest, APartCountOutsideZeroToTwentyFourIsClamped) {
    BossSet("texture/game/boss/stage01");
    BossRow(0).partCount = 30; // more than a pass holds
    Load(0);
    // 24 rows per pass (only two name files here), and no slot given back:
    // the second pass starts right after the first one's last part.
    EXPECT_EQ(Boss(10), 104);
    EXPECT_EQ(Boss(11), 108);
    EXPECT_EQ(Boss(6), 28) << "the second pass does not run back over the body";
    EXPECT_EQ(Boss(12), 204);
    DeleteDirector();

    BossRow(0).partCount = -3;
    Load(0);
    EXPECT_EQ(Boss(9), 40);
    EXPECT_EQ(Boss(10), -1) << "no parts";
    EXPECT_EQ(Boss(34), -1);
}

TEST_F(StageLoaderTest, CommonBossPicturesFollowFrom116) {
    char name[64];
    for (uint32_t i = 0; i < StageFiles::kBossCommonCount; ++i) {
        StageFiles::BossCommonName(i, name, sizeof name);
        Picture(std::string("texture/game/boss/") + name, 4 + 4 * i);
    }
    StageFiles::BossCommonName(0, name, sizeof name);
    EXPECT_STREQ(name, "boss_core_gage_waku.dds");
    StageFiles::BossCommonName(33, name, sizeof name);
    EXPECT_STREQ(name, "battery_active_ani09.dds");
    Load(5);
    EXPECT_EQ(Boss(116), 4);
    EXPECT_EQ(Boss(149), 4 + 4 * 33);
    EXPECT_EQ(Boss(150), -1);
}

TEST_F(StageLoaderTest, ScoreAttackLoadsNoBossButItsStartCaption) {
    BossSet("texture/game/boss/stage01");
    Picture("texture/game/common/sa_2_start.dds", 720);
    Picture("texture/game/common/sa_5_start.dds", 360);
    Picture("texture/game/common/dummy.dds", 8);
    mode = 8;
    Load(0, GameState::kScoreAttackType);
    EXPECT_EQ(Boss(0), -1);
    EXPECT_EQ(Width(director->GetTexture(StageTextureSlot::kStartCaption)), 720);
    DeleteDirector();
    mode = 9;
    Load(0, GameState::kScoreAttackType);
    EXPECT_EQ(Width(director->GetTexture(StageTextureSlot::kStartCaption)), 360);
    DeleteDirector();
    mode = 1;
    Load(0);
    EXPECT_EQ(director->GetTexture(StageTextureSlot::kStartCaption), nullptr)
        << "outside the score attack slot 343 stays empty";
}

TEST_F(StageLoaderTest, FixedSlotsComeFromTheirFolders) {
    Picture("texture/game/common/gage_b.dds", 8);
    Picture("texture/game/common/p_item_score_kie6.dds", 12);
    Picture("texture/game/common/bg_plate.dds", 16); // slot 48: never loaded
    Picture("stage/map_obj/stage02_obj.dds", 20);
    Picture("texture/game/player/player03/player.dds", 24);
    Picture("texture/game/player/player01/player.dds", 28);
    Picture("texture/game/telop/st_telop_noise_c3.dds", 32);
    Picture("texture/game/telop/st_telop02a.dds", 36);
    Picture("texture/game/telop/st_telop02c.dds", 40);
    world.gw->player.ship = 2;
    Load(1);
    EXPECT_EQ(Width(director->GetTexture(0)), 8);
    EXPECT_EQ(Width(director->GetTexture(352)), 12);
    EXPECT_EQ(director->GetTexture(48), nullptr);
    EXPECT_EQ(Width(director->GetTexture(49)), 20);
    EXPECT_EQ(Width(director->GetTexture(90)), 24) << "the ship's own folder";
    EXPECT_EQ(Width(director->GetTexture(164)), 32);
    EXPECT_EQ(Width(director->GetTexture(165)), 36);
    EXPECT_EQ(director->GetTexture(166), nullptr);
    EXPECT_EQ(Width(director->GetTexture(167)), 40);
    for (int32_t slot = 51; slot <= 69; ++slot)
        EXPECT_EQ(director->GetTexture(slot), nullptr) << slot;
    EXPECT_EQ(director->GetTexture(353), nullptr);
    EXPECT_EQ(director->GetTexture(-1), nullptr);

    // Captions a and c make their stage captions at stage start.
    ASSERT_TRUE(world.RunUntilPlay(director));
    const std::vector<StageTelop*> telops = ChildrenOf<StageTelop>();
    ASSERT_EQ(telops.size(), 2u);
    EXPECT_EQ(telops[0]->GetLine(), 0u);
    // Delays 5 and 25, one update run already in the pass that made them.
    EXPECT_EQ(telops[0]->GetCounter(), -4);
    EXPECT_EQ(telops[1]->GetLine(), 2u);
    EXPECT_EQ(telops[1]->GetCounter(), -24);
}

TEST_F(StageLoaderTest, NamesAreBoundedAndTablesLoadNoMoreThanTheirGroups) {
    // 50 enemy picture names, the first filling its 32 bytes without an end.
    std::vector<uint8_t> names(50 * NameRow::kSize, 0);
    std::memset(names.data(), 'a', NameRow::kSize);
    for (int i = 1; i < 50; ++i)
        std::snprintf(reinterpret_cast<char*>(names.data()) + i * NameRow::kSize, NameRow::kSize,
                      "e%02d", i);
    TableBlob& table = world.gw->tables.enemyTexNames;
    Mireku::Common::Heap::LockedFree(table.data);
    table.data = static_cast<uint8_t*>(Mireku::Common::Heap::LockedAlloc(names.size()));
    std::memcpy(table.data, names.data(), names.size());
    table.size = static_cast<uint32_t>(names.size());
    Picture("texture/game/enemy/" + std::string(32, 'a') + ".dds", 8);
    for (int i = 1; i < 50; ++i) {
        char path[64];
        std::snprintf(path, sizeof path, "texture/game/enemy/e%02d.dds", i);
        Picture(path, 12);
    }
    Load(0);
    EXPECT_EQ(Width(director->GetEnemyTexture(0)), 8) << "the name ends with its field";
    EXPECT_EQ(Width(director->GetEnemyTexture(47)), 12);
    EXPECT_EQ(director->GetEnemyTexture(48), nullptr);
}

TEST_F(StageLoaderTest, PathsMapsAndWarpsAreRead) {
    // The sample path names: "path_descent", "path_scurve", ...
    world.Write("enemy/path_descent.path", std::vector<uint8_t>(20, 0));
    world.Write("enemy/path_point.path", std::vector<uint8_t>(4, 0));
    world.Write(SampleData::StageMapPath(0), SampleStageMap(0));
    Picture("texture/game/enemy/en_zako_s015_warp08.dds", 44);
    Load(0);
    const StagePath* straight = director->GetPath(0);
    ASSERT_NE(straight, nullptr);
    EXPECT_EQ(straight->pointCount, 2u) << "20 bytes: two whole points";
    EXPECT_NE(straight->points, nullptr);
    EXPECT_EQ(director->GetPath(1)->points, nullptr);
    EXPECT_EQ(director->GetPath(1)->pointCount, 0u);
    EXPECT_EQ(director->GetPath(2)->pointCount, 0u) << "4 bytes: no whole point";
    EXPECT_EQ(director->GetPath(256), nullptr);
    EXPECT_EQ(Width(director->GetWarpTexture(13)), 44);
    EXPECT_EQ(director->GetWarpTexture(14), nullptr);
    const StageResources* r = director->GetResources();
    EXPECT_EQ(r->mapSize, SampleStageMap(0).size());
    EXPECT_TRUE(r->GetMap().HasCells());
}

TEST_F(StageLoaderTest, EveryTextureIsReleasedOnce) {
    BossSet("texture/game/boss/stage12");
    BossSet("texture/game/boss/stage12_2");
    Picture("texture/game/common/sys_ui1.dds", 8);
    Picture("texture/game/enemy/bullet01.dds", 8);
    Picture("texture/game/enemy/en_zako_s008_warp01.dds", 8);
    Load(11);
    std::vector<Tex*> held;
    const StageResources* r = director->GetResources();
    auto hold = [&](Tex* const* slots, size_t n) {
        for (size_t i = 0; i < n; ++i)
            if (slots[i]) {
                slots[i]->AddRef();
                held.push_back(slots[i]);
            }
    };
    hold(r->stageTextures, StageResources::kStageTextures);
    hold(r->enemyTextures, StageResources::kEnemyTextures);
    hold(r->bulletTextures, StageResources::kBulletTextures);
    hold(r->warpTextures, StageResources::kWarpTextures);
    hold(r->bossTextures, StageResources::kBossTextures);
    // Three, and two boss sets: ten body pictures and two per part.
    const auto set = [](uint32_t group) {
        return 10u + 2u * static_cast<uint32_t>(SampleData::BossLayout(group).parts);
    };
    ASSERT_EQ(held.size(), 3u + set(11) + set(StageFiles::kSecondBossGroup));
    DeleteDirector();
    for (Tex* t : held) {
        EXPECT_EQ(t->GetRefCount(), 1u) << "the stage gave back exactly its own reference";
        t->Release();
    }
}
