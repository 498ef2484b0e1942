#include "tools/sampledata/StageData.h"
#include "game/core/tables/BossRecord.h"
#include "game/core/tables/BulletParamRow.h"
#include "game/core/tables/EnemyRecord.h"
#include "game/core/tables/NameRow.h"
#include "game/core/tables/SystemParamRow.h"
#include "game/core/tables/TimelineEntry.h"
#include "game/stage/StageFiles.h"
#include "game/stage/StageTextureTable.h"
#include "tools/sampledata/GameTableData.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>

namespace {

class StageData : public testing::Test {
protected:
    static void SetUpTestSuite() {
        for (SampleData::StageFile& f : SampleData::BuildStageFiles())
            files_[f.path] = std::move(f.bytes);
        for (SampleData::NamedFile& f : SampleData::BuildGameTables())
            tables_[f.name] = std::move(f.bytes);
    }
    static void TearDownTestSuite() {
        files_.clear();
        tables_.clear();
    }
    static bool Has(const std::string& path) { return files_.count(path) != 0; }
    // Width and height from a DDS header.
    static std::pair<uint32_t, uint32_t> Size(const std::string& path) {
        const std::vector<uint8_t>& b = files_.at(path);
        uint32_t w = 0, h = 0;
        std::memcpy(&h, b.data() + 12, 4);
        std::memcpy(&w, b.data() + 16, 4);
        return {w, h};
    }
    template <class Row> static std::vector<Row> Rows(const std::string& table) {
        const std::vector<uint8_t>& b = tables_.at(table);
        std::vector<Row> rows(b.size() / sizeof(Row));
        std::memcpy(rows.data(), b.data(), rows.size() * sizeof(Row));
        return rows;
    }
    static std::vector<std::string> Names(const std::string& table) {
        std::vector<std::string> out;
        for (const NameRow& r : Rows<NameRow>(table))
            out.emplace_back(r.text, strnlen(r.text, NameRow::kSize));
        return out;
    }

    static inline std::map<std::string, std::vector<uint8_t>> files_;
    static inline std::map<std::string, std::vector<uint8_t>> tables_;
};

} // namespace

TEST_F(StageData, EveryFixedStageTextureIsInItsFolder) {
    using StageTextureTable::Source;
    char name[96];
    for (uint32_t slot = 0; slot < StageTextureTable::kSlotCount; ++slot) {
        StageTextureTable::FileName(slot, 0, name, sizeof name);
        switch (StageTextureTable::SourceOf(slot)) {
        case Source::kCommon:
            EXPECT_NE(Has(std::string("texture/game/common/") + name),
                      SampleData::PaintedByFlowScreens(name))
                << slot;
            break;
        case Source::kShip:
            for (int ship = 1; ship <= 6; ++ship) {
                char folder[64];
                std::snprintf(folder, sizeof folder, "texture/game/player/player%02d/", ship);
                EXPECT_TRUE(Has(folder + std::string(name))) << slot;
            }
            break;
        case Source::kTelop:
            EXPECT_TRUE(Has(std::string("texture/game/telop/") + name)) << slot;
            break;
        default:
            break;
        }
    }
    EXPECT_TRUE(Has("texture/game/common/sa_2_start.dds"));
    EXPECT_TRUE(Has("texture/game/common/sa_5_start.dds"));
    // Captions for some stages only.
    EXPECT_TRUE(Has("texture/game/telop/st_telop01a.dds"));
    EXPECT_TRUE(Has("texture/game/telop/st_telop01c.dds"));
    EXPECT_FALSE(Has("texture/game/telop/st_telop03c.dds"));
    EXPECT_FALSE(Has("texture/game/telop/st_telop12a.dds"));
    EXPECT_TRUE(Has("stage/map_obj/stage01_obj.dds"));
    EXPECT_FALSE(Has("stage/map_obj/stage02_obj.dds"));
}

TEST_F(StageData, PicturesThatAreCutHaveTheirSizes) {
    const std::map<std::string, std::pair<uint32_t, uint32_t>> sizes = {
        {"sys_ui1.dds", {512, 512}},         {"sys_ui2.dds", {1024, 768}},
        {"gage_baryon.dds", {93, 521}},      {"gage_grabas_max.dds", {93, 521}},
        {"ef_teki_baku1.dds", {1024, 1024}}, {"ef_ice_baku.dds", {1024, 1024}},
        {"ef_boss_baku1.dds", {1024, 1024}}, {"ef_teki_baku_tb.dds", {48, 80}},
        {"ef_tama_haip.dds", {400, 80}},     {"result_suuji.dds", {480, 48}},
        {"sa_time_count.dds", {560, 116}},   {"sa_2_start.dds", {720, 720}},
    };
    for (const auto& [name, size] : sizes)
        EXPECT_EQ(Size("texture/game/common/" + name), size) << name;
}

TEST_F(StageData, NamedTablesHaveTheirFiles) {
    for (const std::string& n : Names("enemy_tex_names.tsb"))
        EXPECT_TRUE(Has("texture/game/enemy/" + n + ".dds")) << n;
    for (const std::string& n : Names("ebss_tex_names.tsb"))
        EXPECT_TRUE(Has("texture/game/enemy/" + n + ".dds")) << n;
    for (const char* n : StageFiles::kWarpNames)
        EXPECT_TRUE(Has(std::string("texture/game/enemy/") + n)) << n;
    // A path of no points is a file shorter than one point: an archive
    // cannot serve an empty entry.
    for (const std::string& n : Names("enemy_fbx_names.tsb")) {
        ASSERT_TRUE(Has("enemy/" + n + ".path")) << n;
        const size_t size = files_.at("enemy/" + n + ".path").size();
        EXPECT_NE(size, 0u) << n;
        EXPECT_EQ(size < 8, n == SampleData::kSamplePathNames[SampleData::kSampleEmptyPath]) << n;
    }
}

TEST_F(StageData, BossSetsNameTheirPartsInTheBossRows) {
    const std::vector<BossRecord> rows = Rows<BossRecord>("boss_parameter_boss_normal.tsb");
    for (int set = 1; set <= 12; ++set) {
        char folder[64];
        std::snprintf(folder, sizeof folder, "texture/game/boss/stage%02d/", set);
        for (const char* n : StageFiles::kBossBodyNames)
            EXPECT_TRUE(Has(folder + std::string(n))) << folder << n;
        const BossRecord& body = rows[(set - 1) * BossRecord::kRowsPerGroup];
        ASSERT_GT(body.partCount, 0);
        for (int p = 1; p <= body.partCount; ++p)
            for (const auto& field : rows[(set - 1) * BossRecord::kRowsPerGroup + p].partTextures) {
                const std::string n(field, strnlen(field, BossRecord::kPartTextureNameSize));
                ASSERT_FALSE(n.empty());
                EXPECT_TRUE(Has(folder + n + ".dds")) << folder << n;
            }
    }
    for (const char* n : StageFiles::kBossBodyNames)
        EXPECT_TRUE(Has(std::string("texture/game/boss/stage12_2/") + n));
    char name[64];
    for (uint32_t i = 0; i < StageFiles::kBossCommonCount; ++i) {
        StageFiles::BossCommonName(i, name, sizeof name);
        EXPECT_TRUE(Has(std::string("texture/game/boss/") + name)) << name;
    }
}

TEST_F(StageData, EnemyTablesReachTheMiddleRowsTheTimelinesUse) {
    EXPECT_GE(Rows<EnemyRecord>("enemys_normal_enemy_stage01.tsb").size(), 171u);
    bool middle = false;
    for (const TimelineEntry& e : Rows<TimelineEntry>("ttable_normal_stage01.tsb")) {
        middle |= e.type >= 79 && e.type <= 170;
        EXPECT_GE(e.y, 0) << "enemies appear inside the field";
    }
    EXPECT_TRUE(middle);
}

TEST_F(StageData, EveryHeadsUpRectangleHasAColourOfItsOwn) {
    // Probes inside each rectangle the display cuts out, and the ground.
    const std::vector<std::pair<uint32_t, std::pair<uint32_t, uint32_t>>> probes = {
        {1, {10, 10}},   {1, {110, 10}},  {1, {150, 10}},  {1, {174, 10}},  {1, {366, 10}},
        {1, {410, 10}},  {1, {10, 40}},   {1, {100, 70}},  {1, {10, 130}},  {1, {160, 130}},
        {1, {310, 130}}, {1, {10, 170}},  {1, {160, 170}}, {1, {10, 210}},  {1, {500, 500}},
        {2, {10, 10}},   {2, {290, 10}},  {2, {570, 10}},  {2, {570, 250}}, {2, {570, 490}},
        {2, {10, 730}},  {2, {1000, 700}}};
    std::set<uint32_t> seen;
    for (const auto& [sheet, at] : probes) {
        const SampleData::Rgb c = SampleData::UiSheetColour(sheet, at.first, at.second);
        EXPECT_EQ(SampleData::Bc1Colour(c), c) << "kept exactly by BC1";
        EXPECT_TRUE(seen.insert(c.r << 16 | c.g << 8 | c.b).second)
            << "sheet " << sheet << " at " << at.first << ", " << at.second;
    }
    EXPECT_EQ(SampleData::UiSheetColour(1, 144, 0), SampleData::UiSheetColour(1, 167, 23))
        << "a digit cell is one colour";
}

TEST_F(StageData, BossBodiesHoldTwoToSixPartsOnThemAndOneBodyPastSixteenBits) {
    bool big = false;
    for (const char* difficulty : {"easy", "normal", "hard"}) {
        const std::vector<BossRecord> rows =
            Rows<BossRecord>(std::string("boss_parameter_boss_") + difficulty + ".tsb");
        ASSERT_EQ(rows.size(), 26u * BossRecord::kRowsPerGroup) << "groups 0-25";
        for (uint32_t g = 0; g < 26; ++g) {
            SCOPED_TRACE(g);
            const BossRecord& body = rows[g * BossRecord::kRowsPerGroup];
            const SampleData::SampleBossLayout look = SampleData::BossLayout(g);
            ASSERT_GE(body.partCount, 2);
            ASSERT_LE(body.partCount, 6);
            EXPECT_EQ(body.partCount, look.parts);
            EXPECT_GT(body.health, 0);
            big |= body.health > 65535;
            // The core (the hit area) lies on the body.
            EXPECT_GE(body.offsetX, 0);
            EXPECT_LE(body.offsetX + look.coreWidth, look.bodyWidth);
            EXPECT_LE(body.offsetY + look.coreHeight, look.bodyHeight);
            std::set<int> thresholds;
            for (int p = 1; p <= body.partCount; ++p) {
                const BossRecord& part = rows[g * BossRecord::kRowsPerGroup + p];
                thresholds.insert(part.openThreshold);
                EXPECT_GE(part.offsetX, 0);
                EXPECT_GE(part.offsetY, 0);
                EXPECT_LE(part.offsetX + look.partWidth, look.bodyWidth);
                EXPECT_LE(part.offsetY + look.partHeight, look.bodyHeight);
                EXPECT_GT(part.health, 0);
            }
            EXPECT_TRUE(thresholds.count(100));
            EXPECT_TRUE(thresholds.count(75));
            for (int t : thresholds)
                EXPECT_TRUE(t == 100 || t == 75 || t == 50) << t;
        }
    }
    EXPECT_TRUE(big) << "a body of more than 65535 hit points";
}

TEST_F(StageData, BossPicturesHaveTheSizesTheirRowsPlaceThemBy) {
    struct Set {
        const char* folder;
        uint32_t group;
    };
    for (const Set s :
         {Set{"stage01", 0}, Set{"stage06", 5}, Set{"stage12", 11}, Set{"stage12_2", 25}}) {
        SCOPED_TRACE(s.folder);
        const std::string folder = std::string("texture/game/boss/") + s.folder + "/";
        const SampleData::SampleBossLayout look = SampleData::BossLayout(s.group);
        const std::pair<uint32_t, uint32_t> body(look.bodyWidth, look.bodyHeight);
        const std::pair<uint32_t, uint32_t> core(look.coreWidth, look.coreHeight);
        EXPECT_EQ(Size(folder + "mainbody01.dds"), body);
        EXPECT_EQ(Size(folder + "mainbody_add04.dds"), body);
        EXPECT_EQ(Size(folder + "core_wait.dds"), core);
        EXPECT_EQ(Size(folder + "core_boot.dds"), core);
        EXPECT_EQ(Size(folder + "part01_a.dds"),
                  std::make_pair(uint32_t(look.partWidth), uint32_t(look.partHeight)));
        EXPECT_NE(files_.at(folder + "mainbody01.dds"), files_.at(folder + "mainbody02.dds"))
            << "each picture its own colour";
    }
}

TEST_F(StageData, EveryStageTimelineEndsWithItsBoss) {
    for (const char* difficulty : {"easy", "normal", "hard"})
        for (int stage = 1; stage <= 24; ++stage) {
            char name[64];
            std::snprintf(name, sizeof name, "ttable_%s_stage%02d.tsb", difficulty, stage);
            const std::vector<TimelineEntry> rows = Rows<TimelineEntry>(name);
            ASSERT_GE(rows.size(), 2u) << name;
            const TimelineEntry& boss = rows.back();
            EXPECT_EQ(boss.type, 280 + (stage - 1) % 12) << name;
            EXPECT_EQ(boss.count, 1);
            for (size_t i = 0; i + 1 < rows.size(); ++i)
                EXPECT_LT(rows[i].frame, boss.frame) << name;
        }
    EXPECT_EQ(Rows<TimelineEntry>("ttable_normal_stage12.tsb").back().type, 291);
    EXPECT_EQ(Rows<TimelineEntry>("ttable_hard_stage24.tsb").back().type, 291);
    for (const TimelineEntry& e : Rows<TimelineEntry>("ttable_challenge_stage.tsb"))
        EXPECT_LT(e.type, 280) << "the challenge has no boss";
}

TEST_F(StageData, BulletSheetsGiveEveryTrackFrameItsOwnColour) {
    for (const std::string& n : Names("ebss_tex_names.tsb"))
        EXPECT_EQ(Size("texture/game/enemy/" + n + ".dds"), std::make_pair(512u, 512u)) << n;
    std::set<uint32_t> seen;
    for (const BulletParamRow& row : Rows<BulletParamRow>("ebss_normal_bullet.tsb"))
        for (const TexelRect* track : {row.blendTrack, row.addTrack})
            for (uint32_t f = 0; f < BulletParamRow::kTrackFrames; ++f) {
                const TexelRect& r = track[f];
                ASSERT_LT(r.bottom, 512);
                const SampleData::Rgb c = SampleData::BulletSheetColour(0, r.left, r.top);
                EXPECT_EQ(SampleData::BulletSheetColour(0, r.right, r.bottom), c)
                    << "one colour over the frame";
                EXPECT_TRUE(seen.insert(c.r << 16 | c.g << 8 | c.b).second);
            }
    EXPECT_NE(SampleData::BulletSheetColour(0, 0, 0), SampleData::BulletSheetColour(1, 0, 0));
}

TEST_F(StageData, TheSystemRowsGiveARebirthInvincibility) {
    for (const SystemParamRow& r : Rows<SystemParamRow>("system_system.tsb"))
        EXPECT_EQ(r.rebirthInvincibility, 180);
}

TEST(StageBackgrounds, MapPicturesStackToTheScrollOnEveryStage) {
    std::map<std::string, std::pair<uint32_t, uint32_t>> sizes;
    for (const SampleData::StageFile& f : SampleData::BuildBackgroundFiles()) {
        uint32_t w = 0, h = 0;
        std::memcpy(&h, f.bytes.data() + 12, 4);
        std::memcpy(&w, f.bytes.data() + 16, 4);
        sizes[f.path] = {w, h};
    }
    char name[48];
    for (uint32_t stage = 0; stage < 24; ++stage) {
        char folder[32];
        std::snprintf(folder, sizeof folder, "stage/stage%02u/", stage + 1);
        uint32_t stack = 0;
        for (int32_t id = 52; id <= 54; ++id) {
            ASSERT_TRUE(StageFiles::StageBackgroundName(stage, id, name, sizeof name));
            const auto& s = sizes.at(folder + std::string(name));
            EXPECT_EQ(s.first, 976u) << "61 map cells of 16";
            stack += s.second;
        }
        EXPECT_EQ(stack, 7200u);
        StageFiles::StageBackgroundName(stage, 51, name, sizeof name);
        EXPECT_GT(sizes.at(folder + std::string(name)).second, 720u);
        EXPECT_EQ(sizes.at(folder + std::string("hosi5.dds")), std::make_pair(360u, 512u));
    }
    uint32_t stack = 0;
    for (int32_t id = 52; id <= 61; ++id) {
        StageFiles::ChallengeBackgroundName(id, name, sizeof name);
        stack += sizes.at("stage/stage_score_attack/" + std::string(name)).second;
    }
    EXPECT_EQ(stack, 24000u);
    EXPECT_EQ(sizes.at("stage/stage_score_attack/hosi1.dds"), std::make_pair(360u, 512u));
}
