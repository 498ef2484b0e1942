#include "game/core/tables/GameTables.h"

#include "engine/common/Heap.h"
#include "game/core/ScreenLayout.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>

using Mireku::Common::Heap;

namespace {

const char* const kDifficulty[3] = {"easy", "normal", "hard"};

// Difficulty of each mode's tables: -1 none, 3 the challenge tables.
constexpr int kModeDifficulty[GameTables::kModeCount] = {0, 1, 2, -1, 0, 1, 2, -1, 3, 3, 1};

// Adds k to every non-zero emitter number of a grid; offsets stay.
void ShiftGrid(EmitterGrid& grid, uint32_t k) {
    for (EmitterMount& mount : grid.mounts)
        for (int16_t& id : mount.emitters)
            if (id != 0)
                id = static_cast<int16_t>(id + static_cast<int16_t>(k));
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
    constexpr uint32_t kEntry = sizeof(TimelineEntry);
    TableBlob blob;
    const uint32_t whole = size / kEntry * kEntry;
    void* p = Heap::LockedAlloc(static_cast<size_t>(size) + kEntry);
    if (!p)
        return blob;
    blob.data = static_cast<uint8_t*>(p);
    blob.size = whole;
    if (size)
        std::memcpy(blob.data, data, size);
    std::memset(blob.data + whole, 0xFF, kEntry);
    // The data's x is on the 0-720 field-layer scale.
    for (uint32_t i = 0; i < blob.Count<TimelineEntry>(); ++i) {
        TimelineEntry* e = blob.MutableAt<TimelineEntry>(i);
        e->x = static_cast<int16_t>(e->x - ScreenLayout::kFieldHalfWidth);
    }
    return blob;
}

void GameTables::CapShipDeathDelay(TableBlob& ships) {
    for (uint32_t r = 0; r < ships.Count<ShipParamRow>(); ++r) {
        ShipParamRow* row = ships.MutableAt<ShipParamRow>(r);
        if (row->deathDelay > kShipDeathDelayMax)
            row->deathDelay = kShipDeathDelayMax;
    }
}

uint32_t GameTables::RenumberSecondLoop(TableBlob& ebssTable, TableBlob* secondLoopEnemies,
                                        uint32_t enemyTableCount, TableBlob& bossTable) {
    const uint32_t rows = ebssTable.Count<EmitterParamRow>();
    uint32_t k = 0;
    for (uint32_t r = 1; r < rows; ++r) {
        if (ebssTable.At<EmitterParamRow>(r)->number == 1) {
            k = r;
            break;
        }
    }
    if (k == 0)
        return 0;
    for (uint32_t r = k; r < rows; ++r) {
        EmitterParamRow* row = ebssTable.MutableAt<EmitterParamRow>(r);
        row->number = static_cast<uint16_t>(row->number + k);
    }
    for (uint32_t t = 0; t < enemyTableCount; ++t) {
        TableBlob& e = secondLoopEnemies[t];
        for (uint32_t r = 0; r < e.Count<EnemyRecord>(); ++r)
            ShiftGrid(e.MutableAt<EnemyRecord>(r)->grid, k);
    }
    for (uint32_t r = kBossSecondLoopRow; r < bossTable.Count<BossRecord>(); ++r)
        ShiftGrid(bossTable.MutableAt<BossRecord>(r)->grid, k);
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
    return mode < kModeCount ? boss[mode].Count<BossRecord>() : 0;
}

uint32_t GameTables::EnemyRowCount(uint32_t mode, uint32_t stage) const {
    if (mode >= kModeCount || stage >= kStageCount)
        return 0;
    return enemy[mode * kStageCount + stage].Count<EnemyRecord>();
}

const ShipParamRow* GameTables::ShipRow(uint32_t variant, uint32_t mode, int32_t ship) const {
    if (variant >= kVariantCount || mode >= kModeCount || ship < 0 ||
        ship >= static_cast<int32_t>(kShipCount))
        return nullptr;
    return shipParam[variant].At<ShipParamRow>(ModeGroup(mode) + static_cast<uint32_t>(ship) * 6);
}

const ShotParamRow* GameTables::ShotRow(uint32_t variant, int32_t ship, int32_t level) const {
    if (variant >= kVariantCount || ship < 0 || ship >= static_cast<int32_t>(kShipCount) ||
        level < 0 || level > 3)
        return nullptr;
    return shotParam[variant].At<ShotParamRow>(static_cast<uint32_t>(ship * 4 + level));
}

const EnemyRecord* GameTables::EnemyRow(uint32_t mode, uint32_t stage, uint32_t row) const {
    if (mode >= kModeCount || stage >= kStageCount)
        return nullptr;
    return enemy[mode * kStageCount + stage].At<EnemyRecord>(row);
}

const BossRecord* GameTables::BossRow(uint32_t mode, uint32_t row) const {
    return mode < kModeCount ? boss[mode].At<BossRecord>(row) : nullptr;
}

const EmitterParamRow* GameTables::EmitterRow(uint32_t mode, uint32_t number) const {
    if (mode >= kModeCount || number == 0)
        return nullptr;
    return ebss[mode].At<EmitterParamRow>(number - 1);
}

const BulletParamRow* GameTables::BulletRow(uint32_t mode, uint32_t row) const {
    return mode < kModeCount ? bullet[mode].At<BulletParamRow>(row) : nullptr;
}

const TimelineEntry* GameTables::Timeline(uint32_t mode, uint32_t stage) const {
    if (mode >= kModeCount || stage >= kStageCount)
        return nullptr;
    // The end entry lies past the counted rows, so the list is read from
    // the block itself.
    return reinterpret_cast<const TimelineEntry*>(timeline[mode * kStageCount + stage].data);
}

bool GameTables::MapAttribute(uint32_t cellValue, uint16_t* value) const {
    const MapAttributeEntry* entry = mapAttribute.At<MapAttributeEntry>(cellValue);
    if (!entry)
        return false;
    *value = entry->value;
    return true;
}
