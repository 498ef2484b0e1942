// The game's balance tables: fixed-size rows without a header, read once at
// start-up from the folder "code", one heap copy each (per mode where the
// table has difficulty variants), a few fields adjusted while loading.
// A table that could not be read is null with size 0; every row look-up
// checks its index against the row count and answers null when it is out of
// range, so bad indices from data count as absent.
#pragma once

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

struct TableBlob {
    uint8_t* data = nullptr;
    uint32_t size = 0; // bytes of rows (a timeline's end entry not included)

    uint32_t Rows(uint32_t rowSize) const { return size / rowSize; }
    const uint8_t* Row(uint32_t row, uint32_t rowSize) const {
        return data && row < size / rowSize ? data + static_cast<size_t>(row) * rowSize : nullptr;
    }
};

class GameTables {
public:
    static constexpr uint32_t kModeCount = 11;
    static constexpr uint32_t kStageCount = 24;
    static constexpr uint32_t kSlotCount = kModeCount * kStageCount;
    static constexpr uint32_t kShipCount = 6;
    static constexpr uint32_t kVariantCount = 2;

    static constexpr uint32_t kSystemRowSize = 28;
    static constexpr uint32_t kShipRowSize = 128;
    static constexpr uint32_t kShotRowSize = 24;
    static constexpr uint32_t kNameSize = 32;
    static constexpr uint32_t kTimelineEntrySize = 16;
    static constexpr uint32_t kEnemyRowSize = 516;
    static constexpr uint32_t kBossRowSize = 328;
    static constexpr uint32_t kEmitterRowSize = 44;
    static constexpr uint32_t kBulletRowSize = 80;

    static constexpr uint32_t kShipDeathDelayOffset = 110;
    static constexpr int16_t kShipDeathDelayMax = 30;
    static constexpr uint32_t kEnemyGridOffset = 236;
    static constexpr uint32_t kBossGridOffset = 46;
    static constexpr uint32_t kGridRows = 10;
    static constexpr uint32_t kGridRowSize = 28; // x, y, then 12 emitter numbers
    static constexpr uint32_t kGridCells = 12;
    static constexpr uint32_t kBossSecondLoopRow = 300;
    static constexpr uint32_t kSecondLoopFirstStage = 12;
    static constexpr int16_t kFieldHalfWidth = 360;

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

    uint32_t EnemyTexNameCount() const { return enemyTexNames.Rows(kNameSize); }
    uint32_t EnemyFbxNameCount() const { return enemyFbxNames.Rows(kNameSize); }
    uint32_t EbssTexNameCount() const { return ebssTexNames.Rows(kNameSize); }
    uint32_t BossRowCount(uint32_t mode) const;
    uint32_t EnemyRowCount(uint32_t mode, uint32_t stage) const;

    // Checked row look-ups: null for an unknown mode or stage, a missing table
    // or a row past the end.
    const uint8_t* SystemRow(uint32_t mode) const { return system.Row(mode, kSystemRowSize); }
    const uint8_t* ShipRow(uint32_t variant, uint32_t mode, int32_t ship) const;
    const uint8_t* ShotRow(uint32_t variant, int32_t ship, int32_t level) const;
    const uint8_t* EnemyRow(uint32_t mode, uint32_t stage, uint32_t row) const;
    const uint8_t* BossRow(uint32_t mode, uint32_t row) const;
    // Emitter numbers are 1-based; 0 and numbers past the table are absent.
    const uint8_t* EmitterRow(uint32_t mode, uint32_t number) const;
    const uint8_t* BulletRow(uint32_t mode, uint32_t row) const;
    const uint8_t* Timeline(uint32_t mode, uint32_t stage) const;
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
