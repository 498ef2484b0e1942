#pragma once

#include "effects/Core/Memory/UnitInstancePool.h"

#include <cstdint>

namespace FulgorCore {

class ParticleInstance;

// The recorded points of a strip whose points come from its particle's
// history: pool blocks of 14 records each, the newest in front, each
// linked to the next older one.
struct StripHistoryBlock {
    static constexpr uint32_t kRecords = 14;
    static constexpr uint32_t kRecordSize = 36;

    uint8_t records[kRecords][kRecordSize];
    uint32_t count;
    StripHistoryBlock* older;
};
static_assert(sizeof(StripHistoryBlock) <= kUnitBlockSize, "a history block is one pool block");

// What the strip units keep of their history (the strip classes hold it).
struct StripHistory {
    // The strip data's point source: 3 is the recorded history.
    static constexpr uint32_t kRecordedHistory = 3;

    uint32_t pointSource = 0;
    StripHistoryBlock* current = nullptr;

    // Each frame, in the particle's step: when the newest block is full a
    // new one is linked in front of it. Without a pool block the particle
    // ends and the strip keeps its full block.
    void ChainHistoryBlock(ParticleInstance* owner);
    // Gives every block back.
    void Release();
};

} // namespace FulgorCore
