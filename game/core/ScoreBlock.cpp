#include "game/core/ScoreBlock.h"

#include <cstring>
#include <ctime>

namespace ScoreBlock {

int32_t TableOfMode(uint32_t mode) {
    if (mode <= 3)
        return 0;
    if (mode <= 7)
        return 1;
    if (mode == 8)
        return 2;
    if (mode == 9)
        return 3;
    return -1;
}

uint8_t* Entry(uint8_t* block, uint32_t table, uint32_t entry) {
    return block + kOffsetTables + table * kTableSize + entry * kEntrySize;
}

uint64_t EntryScore(const uint8_t* block, uint32_t table, uint32_t entry) {
    uint64_t v;
    std::memcpy(&v, block + kOffsetTables + table * kTableSize + entry * kEntrySize, 8);
    return v;
}

int32_t Insert(uint8_t* block, uint32_t table, uint64_t score, uint16_t ship,
               const DateTime& when) {
    if (table >= kTableCount)
        return -1;
    const uint32_t last = kEntryCount - 1;
    if (EntryScore(block, table, last) >= score)
        return -1;
    uint8_t* e = Entry(block, table, last);
    const uint16_t fields[7] = {when.year,   when.month,  when.day, when.hour,
                                when.minute, when.second, ship};
    std::memcpy(e, &score, 8);
    std::memcpy(e + 8, fields, sizeof(fields));
    for (uint32_t i = last; i >= 1; --i) {
        if (EntryScore(block, table, i - 1) > EntryScore(block, table, i))
            return static_cast<int32_t>(i);
        uint8_t tmp[kEntrySize];
        uint8_t* a = Entry(block, table, i - 1);
        uint8_t* b = Entry(block, table, i);
        std::memcpy(tmp, a, kEntrySize);
        std::memcpy(a, b, kEntrySize);
        std::memcpy(b, tmp, kEntrySize);
    }
    return 0;
}

DateTime LocalNow() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return {static_cast<uint16_t>(tm.tm_year + 1900), static_cast<uint16_t>(tm.tm_mon + 1),
            static_cast<uint16_t>(tm.tm_mday),        static_cast<uint16_t>(tm.tm_hour),
            static_cast<uint16_t>(tm.tm_min),         static_cast<uint16_t>(tm.tm_sec)};
}

} // namespace ScoreBlock
