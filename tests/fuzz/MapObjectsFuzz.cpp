// Feeds random object maps and map attribute tables to the map walk that
// places the stage's map objects: the map's header is checked against its
// file before a cell is read, cell values past the table or past 1023 place
// nothing, and an attribute without its enemy row places nothing. Input:
// byte 0 the unlock bits, byte 1 the enemy rows (0-255, x 2), bytes 2-3 a
// little-endian u16 length of the attribute table and its bytes; the rest is
// the map file.
#include "FuzzScratch.h"
#include "engine/common/Heap.h"
#include "game/core/GlobalWork.h"
#include "game/core/ProgressBlock.h"
#include "game/core/tables/EnemyRecord.h"
#include "game/enemy/background/BGParts.h"
#include "game/stage/StageMap.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

GlobalWork& Work() {
    static GlobalWork* gw = [] {
        Mireku::Common::Heap::LockedInitialize();
        return GlobalWork::CreateInstance(FuzzScratchFolder().c_str());
    }();
    return *gw;
}

// An exact-size heap copy, so that a read past the table's end is caught.
void Replace(TableBlob& blob, const uint8_t* data, size_t size) {
    if (blob.data)
        Mireku::Common::Heap::LockedFree(blob.data);
    blob = {};
    if (size == 0)
        return;
    blob.data = static_cast<uint8_t*>(Mireku::Common::Heap::LockedAlloc(size));
    if (data)
        std::memcpy(blob.data, data, size);
    else
        std::memset(blob.data, 0, size);
    blob.size = static_cast<uint32_t>(size);
}

struct Seen {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t rows = 0;
    uint32_t count = 0;
};

void Check(void* context, uint16_t type, uint32_t column, uint32_t row) {
    auto* seen = static_cast<Seen*>(context);
    // Only cells inside the map, only types with a row, in map order.
    if (column >= seen->width || row >= seen->height || type == 0 || type >= seen->rows)
        std::abort();
    ++seen->count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4)
        return 0;
    GlobalWork& gw = Work();
    gw.mode = 1;
    gw.stage = 0;
    const uint32_t bits = data[0];
    std::memcpy(gw.progress + ProgressBlock::kOffsetUnlockBits, &bits, 4);
    const uint32_t rows = 2u * data[1];
    Replace(gw.tables.enemy[gw.mode * GameTables::kStageCount + gw.stage], nullptr,
            size_t{rows} * sizeof(EnemyRecord));
    size_t at = 4;
    size_t length = static_cast<size_t>(data[2] | data[3] << 8);
    length = length > size - at ? size - at : length;
    Replace(gw.tables.mapAttribute, data + at, length);
    at += length;

    // The map file, in a buffer of its own exact size.
    const size_t mapSize = size - at;
    auto* image = static_cast<uint8_t*>(std::malloc(mapSize ? mapSize : 1));
    if (mapSize)
        std::memcpy(image, data + at, mapSize);
    const StageMap map(image, static_cast<uint32_t>(mapSize));
    Seen seen;
    seen.width = map.GetWidth();
    seen.height = map.GetHeight();
    seen.rows = rows;
    BGParts::Walk(map, gw, Check, &seen);
    std::free(image);
    return 0;
}
