// The progress image saved as "Data.dat": clear flags and unlocks. Bytes not
// named here belong to the scenes that read them and are kept as stored.
#pragma once

#include <cstdint>

namespace ProgressBlock {

constexpr uint32_t kSize = 1072;
constexpr uint32_t kVersion = 2;
constexpr uint32_t kOldVersion = 1; // read whole, saved back as the current one

constexpr uint32_t kOffsetPlayTime = 8;       // u64, frames of play in all games
constexpr uint32_t kOffsetClearedInMode = 12; // + mode, for modes 4 to 7
constexpr uint32_t kOffsetClearedWithShip = 20;
constexpr uint32_t kOffsetStoryClearedWithShip = 26;
constexpr uint32_t kOffsetDefaultOnFlags = 32; // four flags, 1 by default
constexpr uint32_t kOffsetUnlockA = 36;
constexpr uint32_t kOffsetUnlockB = 37;
constexpr uint32_t kOffsetUnlockBits = 40;
constexpr uint32_t kOffsetProgressFlag = 44;

constexpr uint32_t kUnlockBitA = 0x1;
constexpr uint32_t kUnlockBitB = 0x2;
constexpr uint32_t kUnlockBit8 = 0x8;
constexpr uint32_t kUnlockBit10 = 0x10;

constexpr uint32_t kShipCount = 6;
constexpr uint32_t kStoryGameType = 4;

void Reset(uint8_t* block);
uint32_t UnlockBits(const uint8_t* block);

// Books a clear of ship `ship` in a game of `gameType` and `mode`; an unknown
// ship records nothing.
void RecordClear(uint8_t* block, int32_t ship, uint32_t gameType, uint32_t mode);

} // namespace ProgressBlock
