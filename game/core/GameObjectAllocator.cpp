#include "game/core/GameObjectAllocator.h"

#include "engine/common/Heap.h"

#include <cstring>

using Mireku::Common::Heap;

bool GameObjectAllocator::Initialize() {
    Destroy();
    base_ = static_cast<uint8_t*>(Heap::LockedAlloc(static_cast<size_t>(kBlockCount) * kBlockSize));
    if (!base_)
        return false;
    count_ = kBlockCount;
    live_ = 0;
    head_ = 0;
    for (uint32_t i = 0; i < count_; ++i) {
        const uint32_t next = i + 1 < count_ ? i + 1 : kEnd;
        std::memcpy(base_ + static_cast<size_t>(i) * kBlockSize, &next, 4);
    }
    return true;
}

void* GameObjectAllocator::Allocate() {
    if (head_ >= count_)
        return nullptr;
    uint8_t* block = base_ + static_cast<size_t>(head_) * kBlockSize;
    std::memcpy(&head_, block, 4);
    ++live_;
    return block;
}

void GameObjectAllocator::Free(void* block) {
    if (!Owns(block))
        return;
    const uint32_t index =
        static_cast<uint32_t>((static_cast<uint8_t*>(block) - base_) / kBlockSize);
    std::memcpy(block, &head_, 4);
    head_ = index;
    --live_;
}

void GameObjectAllocator::Destroy() {
    if (base_)
        Heap::LockedFree(base_);
    base_ = nullptr;
    count_ = 0;
    head_ = kEnd;
    live_ = 0;
}
