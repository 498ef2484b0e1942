// Replay streams: the player's starting record, the stage and the mode
// (56 bytes), then one input word per frame until the data ends.
#pragma once

#include "game/core/PlayerWork.h"

#include <cstddef>
#include <cstdint>

namespace ReplayStream {

constexpr uint32_t kHeaderSize = 56;
constexpr uint32_t kOffsetStage = 48;
constexpr uint32_t kOffsetMode = 52;
constexpr uint32_t kRecordBufferSize = 0x40000;
constexpr uint32_t kMaxWords = (kRecordBufferSize - kHeaderSize) / 4; // 65522
constexpr uint32_t kStageCount = 24;
constexpr uint32_t kModeCount = 11;

struct Header {
    PlayerWork player;
    uint32_t stage;
    uint32_t mode;
};

void WriteHeader(uint8_t* data, const Header& header);

// Takes the header when the stream holds one and its fields are in their
// ranges (stage, mode, ship, power level, sub weapon, lives); false refuses
// the stream. A stream may be of any length: it ends where its data ends.
bool ReadHeader(const uint8_t* data, size_t size, Header* header);

// Number of whole input words after the header.
inline uint32_t WordCount(size_t size) {
    return size < kHeaderSize ? 0 : static_cast<uint32_t>((size - kHeaderSize) / 4);
}

} // namespace ReplayStream
