#include "game/core/ProgressBlock.h"

#include <cstring>

namespace ProgressBlock {

void Reset(uint8_t* block) {
    std::memset(block, 0, kSize);
    std::memcpy(block, &kVersion, 4);
    std::memset(block + kOffsetDefaultOnFlags, 1, 4);
}

uint32_t UnlockBits(const uint8_t* block) {
    uint32_t v;
    std::memcpy(&v, block + kOffsetUnlockBits, 4);
    return v;
}

static void SetUnlockBits(uint8_t* block, uint32_t bits) {
    std::memcpy(block + kOffsetUnlockBits, &bits, 4);
}

void RecordClear(uint8_t* block, int32_t ship, uint32_t gameType, uint32_t mode) {
    if (ship < 0 || ship >= static_cast<int32_t>(kShipCount))
        return;
    const bool story = gameType == kStoryGameType;
    if (story) {
        uint32_t bits = UnlockBits(block);
        if (bits & kUnlockBit8)
            bits |= kUnlockBit10;
        if (block[kOffsetUnlockB] && ship != 5)
            bits |= kUnlockBit8;
        SetUnlockBits(block, bits);
    }
    block[kOffsetClearedWithShip + ship] = 1;
    if (story) {
        uint8_t* storyCleared = block + kOffsetStoryClearedWithShip;
        storyCleared[ship] = 1;
        if (storyCleared[0] == 1 || storyCleared[1] == 1 || storyCleared[2] == 1 ||
            storyCleared[3] == 1) {
            block[kOffsetUnlockA] = 1;
            SetUnlockBits(block, UnlockBits(block) | kUnlockBitA);
            if (storyCleared[4] == 1) {
                block[kOffsetUnlockB] = 1;
                SetUnlockBits(block, UnlockBits(block) | kUnlockBitB);
            }
        }
    }
    if (mode >= 4 && mode <= 7)
        block[kOffsetClearedInMode + mode] = 1;
}

} // namespace ProgressBlock
