#include "effects/drawunits/StripHistory.h"

#include "effects/Core/Engine/Engine.h"
#include "effects/units/ParticleInstance.h"

namespace FulgorCore {

void StripHistory::ChainHistoryBlock(ParticleInstance* owner, DrawUnitOps& ops,
                                     uint32_t drawnPoints, uint32_t drawablePoints) {
    if (pointSource != kRecordedHistory || !current || current->count < StripHistoryBlock::kNodes)
        return;
    if (drawnPoints > drawablePoints) {
        ops = DrawUnitOps{};
        return;
    }
    auto* block = static_cast<StripHistoryBlock*>(Engine::GetUnitInstancePool().Allocate());
    if (!block) {
        owner->Finish();
        return;
    }
    block->count = 0;
    block->older = current;
    current = block;
}

PointHistoryEntry* StripHistory::TakeNode() {
    if (!current || current->count >= StripHistoryBlock::kNodes)
        return nullptr;
    return &current->nodes[current->count++];
}

void StripHistory::Release() {
    while (current) {
        StripHistoryBlock* older = current->older;
        Engine::GetUnitInstancePool().Free(current);
        current = older;
    }
}

} // namespace FulgorCore
