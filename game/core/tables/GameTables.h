// The game's balance tables: fixed-size rows without a header, read once at
// start-up from the folder "code", one heap copy each (per mode where the
// table has difficulty variants), a few fields adjusted while loading.
// A table that could not be read is null with size 0; every row look-up
// goes through TableBlob::At and answers null when it is out of range, so
// bad indices from data count as absent. The row layouts are the structs
// beside this file.
#pragma once

#include "game/core/tables/BossRecord.h"
#include "game/core/tables/BulletFxRow.h"
#include "game/core/tables/BulletParamRow.h"
#include "game/core/tables/EmitterParamRow.h"
#include "game/core/tables/EnemyRecord.h"
#include "game/core/tables/MapAttributeEntry.h"
#include "game/core/tables/NameRow.h"
#include "game/core/tables/ResourceIndexEntry.h"
#include "game/core/tables/ShipParamRow.h"
#include "game/core/tables/ShotParamRow.h"
#include "game/core/tables/SystemParamRow.h"
#include "game/core/tables/TableBlob.h"
#include "game/core/tables/TimelineEntry.h"

#include <cstddef>
#include <cstdint>

// Reads one named file of the folder "code". The bytes stay valid until the
// next Read; the tables copy what they keep.
class TableSource {
public:
    virtual ~TableSource() = default;
    // False when the file cannot be read.
    virtual bool Read(const char* name, const uint8_t** data, uint32_t* size) = 0;
};

class GameTables {
public:
    static constexpr uint32_t kModeCount = 11;
    static constexpr uint32_t kStageCount = 24;
    static constexpr uint32_t kSlotCount = kModeCount * kStageCount;
    static constexpr uint32_t kShipCount = 6;
    static constexpr uint32_t kVariantCount = 2;

    static constexpr int16_t kShipDeathDelayMax = 30;
    static constexpr uint32_t kBossSecondLoopRow = 300;
    static constexpr uint32_t kSecondLoopFirstStage = 12;

    // Ship-row group of each mode.
    static uint32_t ModeGroup(uint32_t mode);

    TableBlob system;
    TableBlob mapAttribute;
    TableBlob shipParam[kVariantCount];
    TableBlob shotParam[kVariantCount];
    TableBlob enemyResIndex;
    TableBlob enemyTexNames;
    TableBlob enemyFbxNames;
    TableBlob ebssResIndex;
    TableBlob ebssTexNames;
    TableBlob commonTimeline;

    TableBlob boss[kModeCount];
    TableBlob ebss[kModeCount];
    TableBlob bullet[kModeCount];
    TableBlob bulletFx[kModeCount];

    TableBlob enemy[kSlotCount];    // mode x 24 + stage
    TableBlob timeline[kSlotCount]; // ends with an entry of kind 0xFFFF

    uint32_t ebssSecondBase[kModeCount] = {};

    GameTables() = default;
    ~GameTables() { Free(); }
    GameTables(const GameTables&) = delete;
    GameTables& operator=(const GameTables&) = delete;

    // Reads every table; a missing one stays null and loading goes on.
    void Load(TableSource& source);
    void Free();

    uint32_t EnemyTexNameCount() const { return enemyTexNames.Count<NameRow>(); }
    uint32_t EnemyFbxNameCount() const { return enemyFbxNames.Count<NameRow>(); }
    uint32_t EbssTexNameCount() const { return ebssTexNames.Count<NameRow>(); }
    uint32_t BossRowCount(uint32_t mode) const;
    uint32_t EnemyRowCount(uint32_t mode, uint32_t stage) const;

    // Checked row look-ups: null for an unknown mode or stage, a missing table
    // or a row past the end.
    const SystemParamRow* SystemRow(uint32_t mode) const { return system.At<SystemParamRow>(mode); }
    const ShipParamRow* ShipRow(uint32_t variant, uint32_t mode, int32_t ship) const;
    const ShotParamRow* ShotRow(uint32_t variant, int32_t ship, int32_t level) const;
    const EnemyRecord* EnemyRow(uint32_t mode, uint32_t stage, uint32_t row) const;
    const BossRecord* BossRow(uint32_t mode, uint32_t row) const;
    // Emitter numbers are 1-based; 0 and numbers past the table are absent.
    const EmitterParamRow* EmitterRow(uint32_t mode, uint32_t number) const;
    const BulletParamRow* BulletRow(uint32_t mode, uint32_t row) const;
    // The stage's entries up to the end entry (type 0xFFFF).
    const TimelineEntry* Timeline(uint32_t mode, uint32_t stage) const;
    const ResourceIndexEntry* EnemyResources(uint32_t type) const {
        return enemyResIndex.At<ResourceIndexEntry>(type);
    }
    const ResourceIndexEntry* BulletResources(uint32_t bullet) const {
        return ebssResIndex.At<ResourceIndexEntry>(bullet);
    }
    // False (and *value untouched) when the map cell value has no entry.
    bool MapAttribute(uint32_t cellValue, uint16_t* value) const;

    // Load-time adjustments, on heap copies (exposed for the tests).
    static void CapShipDeathDelay(TableBlob& ships);
    // A heap copy of the timeline with the end entry after the last whole
    // entry and x moved to the field-centred range; null when the heap is out.
    static TableBlob FinishTimeline(const uint8_t* data, uint32_t size);
    // Renumbers the second-loop section of an ebss table and the emitter
    // numbers of the second loop's enemy and boss rows; returns the base k.
    static uint32_t RenumberSecondLoop(TableBlob& ebssTable, TableBlob* secondLoopEnemies,
                                       uint32_t enemyTableCount, TableBlob& bossTable);

private:
    static TableBlob Copy(const uint8_t* data, uint32_t size);
    using CopyFunction = TableBlob (*)(const uint8_t* data, uint32_t size);
    // A heap copy of a file made by `copy`; empty when the file is missing.
    static TableBlob ReadCopy(TableSource& source, const char* name, CopyFunction copy = Copy);
    static void Release(TableBlob& blob);
};
