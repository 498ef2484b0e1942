#include "tools/sampledata/StageData.h"
#include "game/core/tables/BossRecord.h"
#include "game/core/tables/EnemyRecord.h"
#include "game/core/tables/NameRow.h"
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
            EXPECT_TRUE(Has(std::string("texture/game/common/") + name)) << slot;
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
    for (const std::string& n : Names("enemy_fbx_names.tsb")) {
        ASSERT_TRUE(Has("enemy/" + n + ".path")) << n;
        EXPECT_EQ(files_.at("enemy/" + n + ".path").size() % 8, 0u);
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
