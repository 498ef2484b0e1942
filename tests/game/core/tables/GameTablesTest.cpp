#include "support/GameStateFixture.h"

namespace {

// Rows are read back at the file's byte offsets, whatever their type.
int16_t I16(const void* p, size_t off) {
    int16_t v;
    std::memcpy(&v, static_cast<const uint8_t*>(p) + off, 2);
    return v;
}
uint16_t U16(const void* p, size_t off) {
    uint16_t v;
    std::memcpy(&v, static_cast<const uint8_t*>(p) + off, 2);
    return v;
}

class GameTablesTest : public testing::Test {
protected:
    MemoryTableSource source;
    GameTables tables;
    const std::vector<uint8_t>& File(const char* name) { return source.files.at(name); }
};

} // namespace

TEST_F(GameTablesTest, ShipDeathDelayIsCappedAt30) {
    tables.Load(source);
    const auto& raw = File("player_o_pc_com.tsb");
    for (uint32_t v = 0; v < 2; ++v) {
        ASSERT_EQ(tables.shipParam[v].Count<ShipParamRow>(), 36u);
        for (uint32_t r = 0; r < 36; ++r) {
            EXPECT_EQ(I16(tables.shipParam[v].data, r * 128 + 110), 30);
            // Everything else stays as stored.
            EXPECT_EQ(I16(tables.shipParam[0].data, r * 128 + 22), I16(raw.data(), r * 128 + 22));
        }
    }
    // A delay already below the cap is kept.
    std::vector<uint8_t> row(128, 0);
    row[110] = 12;
    TableBlob blob{row.data(), 128};
    GameTables::CapShipDeathDelay(blob);
    EXPECT_EQ(I16(row.data(), 110), 12);
}

TEST_F(GameTablesTest, ShipRowsByModeGroupAndShotRowsByShipAndLevel) {
    tables.Load(source);
    // Mode groups {0, 1, 2, 3, 0, 1, 2, 3, 4, 4, 5}; row = group + ship x 6.
    const struct {
        uint32_t mode;
        int32_t ship;
        uint32_t row;
    } ships[] = {{0, 0, 0},  {3, 1, 9},  {4, 2, 12},  {7, 5, 33},
                 {8, 2, 16}, {9, 3, 22}, {10, 1, 11}, {10, 5, 35}};
    for (uint32_t v = 0; v < 2; ++v)
        for (const auto& c : ships)
            EXPECT_EQ(reinterpret_cast<const uint8_t*>(tables.ShipRow(v, c.mode, c.ship)),
                      tables.shipParam[v].data + c.row * 128)
                << "variant " << v << " mode " << c.mode << " ship " << c.ship;
    // 24-byte shot rows, ship x 4 + power level.
    EXPECT_EQ(reinterpret_cast<const uint8_t*>(tables.ShotRow(0, 0, 0)), tables.shotParam[0].data);
    EXPECT_EQ(reinterpret_cast<const uint8_t*>(tables.ShotRow(0, 2, 3)),
              tables.shotParam[0].data + 11 * 24);
    EXPECT_EQ(reinterpret_cast<const uint8_t*>(tables.ShotRow(1, 5, 1)),
              tables.shotParam[1].data + 21 * 24);
    EXPECT_EQ(tables.ShipRow(0, 11, 0), nullptr);
    EXPECT_EQ(tables.ShotRow(0, 1, 4), nullptr);
}

TEST_F(GameTablesTest, TimelinesGetAnEndEntryAndCentredX) {
    tables.Load(source);
    const auto& raw = File("ttable_hard_stage05.tsb");
    const void* t = tables.Timeline(2, 4);
    ASSERT_NE(t, nullptr);
    const size_t entries = raw.size() / 16;
    for (size_t e = 0; e < entries; ++e) {
        EXPECT_EQ(I16(t, e * 16 + 6), I16(raw.data(), e * 16 + 6) - 360);
        EXPECT_EQ(std::memcmp(static_cast<const uint8_t*>(t) + e * 16, raw.data() + e * 16, 6), 0);
    }
    EXPECT_EQ(U16(t, entries * 16 + 4), 0xFFFF);
    // Mode 10 plays the normal stage-1 timeline everywhere; the challenge
    // modes their own; modes 3 and 7 have none.
    const auto& stage1 = File("ttable_normal_stage01.tsb");
    for (uint32_t s = 0; s < 24; ++s) {
        ASSERT_NE(tables.Timeline(10, s), nullptr);
        EXPECT_EQ(I16(tables.Timeline(10, s), 0), I16(stage1.data(), 0));
        EXPECT_NE(tables.Timeline(8, s), nullptr);
        EXPECT_EQ(tables.Timeline(3, s), nullptr);
        EXPECT_EQ(tables.Timeline(7, s), nullptr);
    }
    // The common timeline stays as stored.
    ASSERT_EQ(tables.commonTimeline.size, File("ttable_common_common.tsb").size());
    EXPECT_EQ(std::memcmp(tables.commonTimeline.data, File("ttable_common_common.tsb").data(),
                          tables.commonTimeline.size),
              0);
    EXPECT_EQ(tables.Timeline(11, 0), nullptr);
    EXPECT_EQ(tables.Timeline(0, 24), nullptr);
}

TEST(GameTablesEdges, EmptyAndRaggedTimelines) {
    TableBlob empty = GameTables::FinishTimeline(nullptr, 0);
    ASSERT_NE(empty.data, nullptr);
    EXPECT_EQ(empty.size, 0u);
    EXPECT_EQ(U16(empty.data, 4), 0xFFFF);
    Mireku::Common::Heap::LockedFree(empty.data);

    std::vector<uint8_t> raw(16 * 2 + 7, 0x11);
    TableBlob ragged = GameTables::FinishTimeline(raw.data(), static_cast<uint32_t>(raw.size()));
    ASSERT_NE(ragged.data, nullptr);
    EXPECT_EQ(ragged.size, 32u);
    EXPECT_EQ(U16(ragged.data, 32 + 4), 0xFFFF); // ends at the last whole entry
    EXPECT_EQ(I16(ragged.data, 16 + 6), 0x1111 - 360);
    Mireku::Common::Heap::LockedFree(ragged.data);
}

TEST_F(GameTablesTest, SecondLoopIsRenumberedPerMode) {
    tables.Load(source);
    // The sample ebss tables restart their numbering at row 24.
    for (uint32_t mode : {0u, 1u, 2u, 4u, 5u, 6u, 10u}) {
        SCOPED_TRACE(mode);
        EXPECT_EQ(tables.ebssSecondBase[mode], 24u);
        EXPECT_EQ(U16(tables.ebss[mode].data, 23 * 44), 24u);
        EXPECT_EQ(U16(tables.ebss[mode].data, 24 * 44), 25u);
    }
    EXPECT_EQ(tables.ebssSecondBase[8], 0u);
    EXPECT_EQ(tables.ebssSecondBase[9], 0u);
    EXPECT_EQ(tables.ebssSecondBase[3], 0u);
    EXPECT_EQ(U16(tables.ebss[8].data, 24 * 44), 1u); // challenge copy untouched

    const auto& first = File("enemys_easy_enemy_stage05.tsb");
    const auto& second = File("enemys_easy_enemy_stage17.tsb");
    for (uint32_t mode : {0u, 4u}) {
        const void* loop1 = tables.EnemyRow(mode, 4, 3);
        const void* loop2 = tables.EnemyRow(mode, 16, 3);
        ASSERT_TRUE(loop1 && loop2);
        for (uint32_t cell = 0; cell < 10 * 14; ++cell) {
            const size_t off = 236 + cell * 2;
            const bool id = cell % 14 >= 2;
            EXPECT_EQ(I16(loop1, off), I16(first.data() + 3 * 516, off));
            const int16_t stored = I16(second.data() + 3 * 516, off);
            EXPECT_EQ(I16(loop2, off), id && stored != 0 ? stored + 24 : stored) << cell;
        }
        // Row 0 fires nothing: zero ids stay zero.
        const void* quiet = tables.EnemyRow(mode, 16, 0);
        for (uint32_t cell = 0; cell < 10 * 14; ++cell)
            EXPECT_EQ(I16(quiet, 236 + cell * 2), 0);
    }
    // Bosses from row 300 on belong to the second loop.
    const auto& boss = File("boss_parameter_boss_easy.tsb");
    EXPECT_EQ(I16(tables.BossRow(0, 25), 46 + 4), I16(boss.data() + 25 * 328, 46 + 4));
    EXPECT_EQ(I16(tables.BossRow(0, 300), 46 + 4), I16(boss.data() + 300 * 328, 46 + 4) + 24);
    EXPECT_EQ(I16(tables.BossRow(0, 300), 46 + 2), I16(boss.data() + 300 * 328, 46 + 2));
    // Each mode has its own copy: mode 4 was shifted once, not twice.
    EXPECT_EQ(I16(tables.BossRow(4, 300), 46 + 4), I16(boss.data() + 300 * 328, 46 + 4) + 24);
}

TEST(GameTablesEdges, NoSecondSectionLeavesRowsAlone) {
    std::vector<uint8_t> ebss(44 * 5, 0);
    for (int r = 0; r < 5; ++r)
        ebss[r * 44] = static_cast<uint8_t>(r + 1); // 1 only at row 0
    std::vector<uint8_t> enemy(516, 0);
    enemy[236 + 4] = 3;
    TableBlob e{ebss.data(), static_cast<uint32_t>(ebss.size())};
    TableBlob en{enemy.data(), 516};
    TableBlob boss;
    EXPECT_EQ(GameTables::RenumberSecondLoop(e, &en, 1, boss), 0u);
    EXPECT_EQ(enemy[236 + 4], 3);
    EXPECT_EQ(ebss[4 * 44], 5);
}

TEST_F(GameTablesTest, MissingTablesLeaveNullsAndChecksRowIndices) {
    source.files.erase("system_system.tsb");
    source.files.erase("ebss_normal_ebss.tsb");
    source.files.erase("enemys_hard_enemy_stage13.tsb");
    tables.Load(source);
    EXPECT_EQ(tables.system.data, nullptr);
    EXPECT_EQ(tables.SystemRow(0), nullptr);
    EXPECT_EQ(tables.ebss[1].data, nullptr);
    EXPECT_EQ(tables.ebssSecondBase[1], 0u);
    EXPECT_EQ(tables.EnemyRow(2, 12, 0), nullptr);
    EXPECT_NE(tables.EnemyRow(2, 13, 0), nullptr);
    // Rows from data are checked against the row counts.
    EXPECT_EQ(tables.EnemyRowCount(0, 0), 311u);
    EXPECT_EQ(tables.EnemyRow(0, 0, 311), nullptr);
    EXPECT_EQ(tables.BossRowCount(0), 650u);
    EXPECT_EQ(tables.BossRow(0, 650), nullptr);
    EXPECT_EQ(tables.EmitterRow(0, 0), nullptr);
    EXPECT_NE(tables.EmitterRow(0, 48), nullptr);
    EXPECT_EQ(tables.EmitterRow(0, 49), nullptr);
    EXPECT_EQ(tables.BulletRow(0, 8), nullptr);
    EXPECT_EQ(tables.EnemyTexNameCount(), 3u);
    EXPECT_EQ(tables.EnemyFbxNameCount(), 4u);
    EXPECT_EQ(tables.EbssTexNameCount(), 2u);
    uint16_t attr = 0;
    EXPECT_TRUE(tables.MapAttribute(101, &attr));
    EXPECT_EQ(attr, 244);
    EXPECT_FALSE(tables.MapAttribute(1024, &attr));
    // Challenge modes: one enemy table in the stage-0 slot only.
    EXPECT_NE(tables.EnemyRow(8, 0, 0), nullptr);
    EXPECT_EQ(tables.EnemyRow(8, 1, 0), nullptr);
    tables.Free();
    EXPECT_EQ(tables.boss[0].data, nullptr);
}

TEST_F(GameTablesTest, ResourceIndicesDecodeTheSampleEntries) {
    tables.Load(source);
    // Sample enemy type 5 names sheet 2 (type % 3), the curve (odd types) as
    // base path and no override; the bullet entries texture bullet % 2 and
    // no path.
    const ResourceIndexEntry* enemy = tables.EnemyResources(5);
    ASSERT_NE(enemy, nullptr);
    EXPECT_EQ(enemy->Texture(), 2);
    EXPECT_EQ(enemy->OverridePath(), -1);
    EXPECT_EQ(enemy->BasePath(), 1);
    EXPECT_EQ(U16(enemy, 0) & 0x3FF, 2); // bits 0-9 of the stored word
    // Type 10 takes the one-point path as override over the descent.
    const ResourceIndexEntry* pointed = tables.EnemyResources(10);
    ASSERT_NE(pointed, nullptr);
    EXPECT_EQ(pointed->OverridePath(), 2);
    EXPECT_EQ(pointed->BasePath(), 0);
    const ResourceIndexEntry* bullet = tables.BulletResources(3);
    ASSERT_NE(bullet, nullptr);
    EXPECT_EQ(bullet->Texture(), 1);
    EXPECT_EQ(bullet->BasePath(), -1);
    EXPECT_EQ(tables.EnemyResources(311), nullptr);
    EXPECT_EQ(tables.BulletResources(8), nullptr);
}
