#pragma once

#include "effects/Core/Memory/UnitInstancePool.h"
#include "effects/drawunits/DrawUnitOps.h"
#include "effects/drawunits/PointHistoryEntry.h"

#include <cstdint>

namespace FulgorCore {

class ParticleInstance;

// The recorded points of a strip whose points come from its particle's
// history: pool blocks of 14 nodes each, the newest block in front, each
// linked to the block that filled up before it.
struct StripHistoryBlock {
    static constexpr uint32_t kNodes = 14;

    PointHistoryEntry nodes[kNodes];
    uint32_t count;
    StripHistoryBlock* older;
};
static_assert(sizeof(StripHistoryBlock) == 688, "14 nodes, the count and the link");
static_assert(sizeof(StripHistoryBlock) <= kUnitBlockSize, "a history block is one pool block");

// What the strip units keep of their history (the strip classes hold it).
struct StripHistory {
    // The strip data's point source: 3 is the recorded history.
    static constexpr uint32_t kRecordedHistory = 3;

    uint32_t pointSource = 0;
    StripHistoryBlock* current = nullptr;

    // Each frame, in the particle's step: when the newest block is full a
    // new one is linked in front of it. Without a pool block the particle
    // ends and the strip keeps its full block. A strip already drawing more
    // points than one reservation takes (so refused every frame) takes no
    // further block: its members `ops` become the no-ops, the history stops
    // growing and the pool stops draining, while the particle and its other
    // parts live on.
    void ChainHistoryBlock(ParticleInstance* owner, DrawUnitOps& ops, uint32_t drawnPoints,
                           uint32_t drawablePoints);
    // The next node of the current block, or null when it is full (the
    // step chains a fresh block before the update, so that is only the
    // case once the pool is exhausted).
    PointHistoryEntry* TakeNode();
    // Gives every block back.
    void Release();
};

} // namespace FulgorCore
