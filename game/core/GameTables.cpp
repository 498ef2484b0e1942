#include "game/core/GameTables.h"

#include "engine/common/Heap.h"
#include "sys/bytes.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>

using Mireku::Common::Heap;

namespace {

const char* const kDifficulty[3] = {"easy", "normal", "hard"};

// Difficulty of each mode's tables: -1 none, 3 the challenge tables.
constexpr int kModeDifficulty[GameTables::kModeCount] = {0, 1, 2, -1, 0, 1, 2, -1, 3, 3, 1};

// Adds k to every non-zero emitter number of a grid; offsets stay.
void ShiftGrid(uint8_t* grid, uint32_t k) {
    for (uint32_t r = 0; r < GameTables::kGridRows; ++r) {
        uint8_t* cells = grid + r * GameTables::kGridRowSize + 4;
        for (uint32_t c = 0; c < GameTables::kGridCells; ++c) {
            int16_t id = sys::LoadI16(cells + c * 2);
            if (id != 0)
                sys::StoreI16(cells + c * 2, static_cast<int16_t>(id + static_cast<int16_t>(k)));
        }
    }
}

} // namespace

uint32_t GameTables::ModeGroup(uint32_t mode) {
    static constexpr uint32_t kGroups[kModeCount] = {0, 1, 2, 3, 0, 1, 2, 3, 4, 4, 5};
    return mode < kModeCount ? kGroups[mode] : 0;
}

TableBlob GameTables::Copy(const uint8_t* data, uint32_t size) {
    TableBlob blob;
    void* p = Heap::LockedAlloc(size ? size : 1);
    if (!p)
        return blob;
    if (size)
        std::memcpy(p, data, size);
    blob.data = static_cast<uint8_t*>(p);
    blob.size = size;
    return blob;
}

TableBlob GameTables::ReadCopy(TableSource& source, const char* name, CopyFunction copy) {
    const uint8_t* data = nullptr;
    uint32_t size = 0;
    if (!source.Read(name, &data, &size) || (!data && size))
        return {};
    return copy(data, size);
}

TableBlob GameTables::FinishTimeline(const uint8_t* data, uint32_t size) {
    TableBlob blob;
    const uint32_t whole = size / kTimelineEntrySize * kTimelineEntrySize;
    void* p = Heap::LockedAlloc(static_cast<size_t>(size) + kTimelineEntrySize);
    if (!p)
        return blob;
    blob.data = static_cast<uint8_t*>(p);
    blob.size = whole;
    if (size)
        std::memcpy(blob.data, data, size);
    std::memset(blob.data + whole, 0xFF, kTimelineEntrySize);
    for (uint32_t off = 0; off < whole; off += kTimelineEntrySize) {
        uint8_t* x = blob.data + off + 6;
        sys::StoreI16(x, static_cast<int16_t>(sys::LoadI16(x) - kFieldHalfWidth));
    }
    return blob;
}

void GameTables::CapShipDeathDelay(TableBlob& ships) {
    const uint32_t rows = ships.Rows(kShipRowSize);
    for (uint32_t r = 0; r < rows; ++r) {
        uint8_t* p = ships.data + static_cast<size_t>(r) * kShipRowSize + kShipDeathDelayOffset;
        if (sys::LoadI16(p) > kShipDeathDelayMax)
            sys::StoreI16(p, kShipDeathDelayMax);
    }
}

uint32_t GameTables::RenumberSecondLoop(TableBlob& ebssTable, TableBlob* secondLoopEnemies,
                                        uint32_t enemyTableCount, TableBlob& bossTable) {
    const uint32_t rows = ebssTable.Rows(kEmitterRowSize);
    uint32_t k = 0;
    for (uint32_t r = 1; r < rows; ++r) {
        if (sys::LoadU16(ebssTable.data + static_cast<size_t>(r) * kEmitterRowSize) == 1) {
            k = r;
            break;
        }
    }
    if (k == 0)
        return 0;
    for (uint32_t r = k; r < rows; ++r) {
        uint8_t* p = ebssTable.data + static_cast<size_t>(r) * kEmitterRowSize;
        sys::StoreI16(p, static_cast<int16_t>(sys::LoadU16(p) + k));
    }
    for (uint32_t t = 0; t < enemyTableCount; ++t) {
        TableBlob& e = secondLoopEnemies[t];
        const uint32_t n = e.Rows(kEnemyRowSize);
        for (uint32_t r = 0; r < n; ++r)
            ShiftGrid(e.data + static_cast<size_t>(r) * kEnemyRowSize + kEnemyGridOffset, k);
    }
    const uint32_t bossRows = bossTable.Rows(kBossRowSize);
    for (uint32_t r = kBossSecondLoopRow; r < bossRows; ++r)
        ShiftGrid(bossTable.data + static_cast<size_t>(r) * kBossRowSize + kBossGridOffset, k);
    return k;
}

void GameTables::Load(TableSource& source) {
    Free();
    char name[64];

    system = ReadCopy(source, "system_system.tsb");
    mapAttribute = ReadCopy(source, "map_attribute_table.tsb");
    shipParam[0] = ReadCopy(source, "player_o_pc_com.tsb");
    shipParam[1] = ReadCopy(source, "player_u_pc_com.tsb");
    for (TableBlob& s : shipParam)
        CapShipDeathDelay(s);
    shotParam[0] = ReadCopy(source, "player_o_pc_shot.tsb");
    shotParam[1] = ReadCopy(source, "player_u_pc_shot.tsb");
    enemyResIndex = ReadCopy(source, "enemy_res_index.tsb");
    enemyTexNames = ReadCopy(source, "enemy_tex_names.tsb");
    enemyFbxNames = ReadCopy(source, "enemy_fbx_names.tsb");
    ebssResIndex = ReadCopy(source, "ebss_res_index.tsb");
    ebssTexNames = ReadCopy(source, "ebss_tex_names.tsb");
    commonTimeline = ReadCopy(source, "ttable_common_common.tsb");

    for (uint32_t mode = 0; mode < kModeCount; ++mode) {
        const int d = kModeDifficulty[mode];
        if (d < 0)
            continue;
        // The per-mode tables of the challenge modes are the normal ones.
        const char* diff = kDifficulty[d == 3 ? 1 : d];
        std::snprintf(name, sizeof(name), "boss_parameter_boss_%s.tsb", diff);
        boss[mode] = ReadCopy(source, name);
        std::snprintf(name, sizeof(name), "ebss_%s_ebss.tsb", diff);
        ebss[mode] = ReadCopy(source, name);
        std::snprintf(name, sizeof(name), "ebss_%s_bullet.tsb", diff);
        bullet[mode] = ReadCopy(source, name);
        std::snprintf(name, sizeof(name), "ebss_%s_bulletfx.tsb", diff);
        bulletFx[mode] = ReadCopy(source, name);

        TableBlob* enemies = enemy + mode * kStageCount;
        TableBlob* timelines = timeline + mode * kStageCount;
        if (d == 3) {
            enemies[0] = ReadCopy(source, "enemys_challenge_stage.tsb");
            for (uint32_t s = 0; s < kStageCount; ++s)
                timelines[s] = ReadCopy(source, "ttable_challenge_stage.tsb", FinishTimeline);
        } else if (mode == 10) {
            for (uint32_t s = 0; s < kStageCount; ++s) {
                std::snprintf(name, sizeof(name), "enemys_normal_enemy_stage%02u.tsb", s + 1);
                enemies[s] = ReadCopy(source, name);
                timelines[s] = ReadCopy(source, "ttable_normal_stage01.tsb", FinishTimeline);
            }
        } else {
            for (uint32_t s = 0; s < kStageCount; ++s) {
                std::snprintf(name, sizeof(name), "enemys_%s_enemy_stage%02u.tsb", diff, s + 1);
                enemies[s] = ReadCopy(source, name);
                std::snprintf(name, sizeof(name), "ttable_%s_stage%02u.tsb", diff, s + 1);
                timelines[s] = ReadCopy(source, name, FinishTimeline);
            }
        }
        if (d != 3)
            ebssSecondBase[mode] =
                RenumberSecondLoop(ebss[mode], enemies + kSecondLoopFirstStage,
                                   kStageCount - kSecondLoopFirstStage, boss[mode]);
    }
}

void GameTables::Release(TableBlob& blob) {
    if (blob.data)
        Heap::LockedFree(blob.data);
    blob = {};
}

void GameTables::Free() {
    for (TableBlob* b : {&system, &mapAttribute, &shipParam[0], &shipParam[1], &shotParam[0],
                         &shotParam[1], &enemyResIndex, &enemyTexNames, &enemyFbxNames,
                         &ebssResIndex, &ebssTexNames, &commonTimeline})
        Release(*b);
    for (uint32_t m = 0; m < kModeCount; ++m) {
        Release(boss[m]);
        Release(ebss[m]);
        Release(bullet[m]);
        Release(bulletFx[m]);
        ebssSecondBase[m] = 0;
    }
    for (uint32_t s = 0; s < kSlotCount; ++s) {
        Release(enemy[s]);
        Release(timeline[s]);
    }
}

uint32_t GameTables::BossRowCount(uint32_t mode) const {
    return mode < kModeCount ? boss[mode].Rows(kBossRowSize) : 0;
}

uint32_t GameTables::EnemyRowCount(uint32_t mode, uint32_t stage) const {
    if (mode >= kModeCount || stage >= kStageCount)
        return 0;
    return enemy[mode * kStageCount + stage].Rows(kEnemyRowSize);
}

const uint8_t* GameTables::ShipRow(uint32_t variant, uint32_t mode, int32_t ship) const {
    if (variant >= kVariantCount || mode >= kModeCount || ship < 0 ||
        ship >= static_cast<int32_t>(kShipCount))
        return nullptr;
    return shipParam[variant].Row(ModeGroup(mode) + static_cast<uint32_t>(ship) * 6, kShipRowSize);
}

const uint8_t* GameTables::ShotRow(uint32_t variant, int32_t ship, int32_t level) const {
    if (variant >= kVariantCount || ship < 0 || ship >= static_cast<int32_t>(kShipCount) ||
        level < 0 || level > 3)
        return nullptr;
    return shotParam[variant].Row(static_cast<uint32_t>(ship * 4 + level), kShotRowSize);
}

const uint8_t* GameTables::EnemyRow(uint32_t mode, uint32_t stage, uint32_t row) const {
    if (mode >= kModeCount || stage >= kStageCount)
        return nullptr;
    return enemy[mode * kStageCount + stage].Row(row, kEnemyRowSize);
}

const uint8_t* GameTables::BossRow(uint32_t mode, uint32_t row) const {
    return mode < kModeCount ? boss[mode].Row(row, kBossRowSize) : nullptr;
}

const uint8_t* GameTables::EmitterRow(uint32_t mode, uint32_t number) const {
    if (mode >= kModeCount || number == 0)
        return nullptr;
    return ebss[mode].Row(number - 1, kEmitterRowSize);
}

const uint8_t* GameTables::BulletRow(uint32_t mode, uint32_t row) const {
    return mode < kModeCount ? bullet[mode].Row(row, kBulletRowSize) : nullptr;
}

const uint8_t* GameTables::Timeline(uint32_t mode, uint32_t stage) const {
    if (mode >= kModeCount || stage >= kStageCount)
        return nullptr;
    return timeline[mode * kStageCount + stage].data;
}

bool GameTables::MapAttribute(uint32_t cellValue, uint16_t* value) const {
    const uint8_t* p = mapAttribute.Row(cellValue, 2);
    if (!p)
        return false;
    *value = sys::LoadU16(p);
    return true;
}
