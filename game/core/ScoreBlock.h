// The ranking image saved as "Score.dat": 20 tables of 20 entries of 32
// bytes. Bytes 22-31 of an entry belong to the ranking scene and are kept.
#pragma once

#include <cstdint>

namespace ScoreBlock {

constexpr uint32_t kSize = 12808;
constexpr uint32_t kVersion = 1;
constexpr uint32_t kOffsetTables = 8;
constexpr uint32_t kTableCount = 20;
constexpr uint32_t kEntryCount = 20;
constexpr uint32_t kEntrySize = 32;
constexpr uint32_t kTableSize = kEntryCount * kEntrySize;

struct DateTime {
    uint16_t year, month, day, hour, minute, second;
};

// Ranking table of a game mode, or -1 for a mode without one.
int32_t TableOfMode(uint32_t mode);

uint8_t* Entry(uint8_t* block, uint32_t table, uint32_t entry);
uint64_t EntryScore(const uint8_t* block, uint32_t table, uint32_t entry);

// Puts a score into a table: -1 when it does not beat the last entry, else
// the 0-based place it moved up to (above older equal scores).
int32_t Insert(uint8_t* block, uint32_t table, uint64_t score, uint16_t ship, const DateTime& when);

DateTime LocalNow();

} // namespace ScoreBlock
