// Feeds random bytes as every table file: loading copies, ends and renumbers
// them without reading outside their data, and every row look-up with any
// index either answers a row inside its table or nothing.
#include "engine/common/Heap.h"
#include "game/core/GameTables.h"

#include <cstdint>
#include <cstdlib>

namespace {

// Every table name gets a slice of the input chosen by the name's hash, so
// tables differ in size and content within one run.
class FuzzSource : public TableSource {
public:
    FuzzSource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool Read(const char* name, const uint8_t** data, uint32_t* size) override {
        uint32_t h = 2166136261u;
        for (const char* c = name; *c; ++c)
            h = (h ^ static_cast<uint8_t>(*c)) * 16777619u;
        if (size_ == 0 || h % 17 == 0)
            return false; // some tables are missing
        const size_t start = h % size_;
        *data = data_ + start;
        *size = static_cast<uint32_t>(size_ - start);
        return true;
    }

private:
    const uint8_t* data_;
    size_t size_;
};

void Touch(const uint8_t* row, uint32_t n) {
    volatile uint8_t sink = 0;
    if (row)
        for (uint32_t i = 0; i < n; ++i)
            sink = sink + row[i];
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool heap = Mireku::Common::Heap::LockedInitialize();
    (void)heap;
    static GameTables tables;
    FuzzSource source(data, size);
    tables.Load(source);
    const uint32_t probe = size >= 4 ? (data[0] | data[1] << 8) : 7;
    for (uint32_t mode = 0; mode <= GameTables::kModeCount; ++mode) {
        Touch(tables.SystemRow(mode), GameTables::kSystemRowSize);
        for (int32_t ship = -1; ship <= 6; ++ship) {
            Touch(tables.ShipRow(0, mode, ship), GameTables::kShipRowSize);
            Touch(tables.ShotRow(1, ship, static_cast<int32_t>(mode % 5)),
                  GameTables::kShotRowSize);
        }
        Touch(tables.BossRow(mode, probe), GameTables::kBossRowSize);
        Touch(tables.EmitterRow(mode, probe), GameTables::kEmitterRowSize);
        Touch(tables.BulletRow(mode, probe), GameTables::kBulletRowSize);
        for (uint32_t stage = 0; stage <= GameTables::kStageCount; ++stage) {
            Touch(tables.EnemyRow(mode, stage, probe % 64), GameTables::kEnemyRowSize);
            // A timeline always ends with its end entry inside its block.
            if (mode < GameTables::kModeCount && stage < GameTables::kStageCount) {
                const TableBlob& t = tables.timeline[mode * GameTables::kStageCount + stage];
                if (t.data)
                    Touch(t.data, t.size + GameTables::kTimelineEntrySize);
            }
        }
    }
    uint16_t attr;
    tables.MapAttribute(probe, &attr);
    tables.Free();
    return 0;
}
