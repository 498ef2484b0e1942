#include "game/core/GameObjectAllocator.h"

#include "engine/common/ArenaFill.h"
#include "engine/common/Heap.h"

#include <cstring>

// Under AddressSanitizer (the build defines DREVANTH_POOL_POISON) a free
// block is poisoned but for its free-list word, so that a write into an
// object already given back (a destructor that reaches a sibling deleted
// before it) is reported where it happens.
#if defined(DREVANTH_POOL_POISON)
#include <sanitizer/asan_interface.h>
#endif

using Mireku::Common::ArenaFill;
using Mireku::Common::Heap;

namespace {

constexpr size_t kLinkSize = 4;

// A block given back: its free-list word, then what a test asked the rest
// to be filled with (ArenaFill), then the poison.
void Release(uint8_t* block, uint32_t next) {
    std::memcpy(block, &next, kLinkSize);
    ArenaFill::Freed(block + kLinkSize, GameObjectAllocator::kBlockSize - kLinkSize);
#if defined(DREVANTH_POOL_POISON)
    __asan_poison_memory_region(block + kLinkSize, GameObjectAllocator::kBlockSize - kLinkSize);
#endif
}

void Unpoison(uint8_t* p, size_t n) {
#if defined(DREVANTH_POOL_POISON)
    __asan_unpoison_memory_region(p, n);
#else
    (void)p;
    (void)n;
#endif
}

} // namespace

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
        Release(base_ + static_cast<size_t>(i) * kBlockSize, next);
    }
    return true;
}

void* GameObjectAllocator::Allocate() {
    if (head_ >= count_)
        return nullptr;
    uint8_t* block = base_ + static_cast<size_t>(head_) * kBlockSize;
    std::memcpy(&head_, block, kLinkSize);
    Unpoison(block, kBlockSize);
    ArenaFill::Taken(block, kBlockSize);
    ++live_;
    return block;
}

void GameObjectAllocator::Free(void* block) {
    if (!Owns(block))
        return;
    const uint32_t index =
        static_cast<uint32_t>((static_cast<uint8_t*>(block) - base_) / kBlockSize);
    Release(static_cast<uint8_t*>(block), head_);
    head_ = index;
    --live_;
}

void GameObjectAllocator::Destroy() {
    if (base_) {
        Unpoison(base_, static_cast<size_t>(count_) * kBlockSize);
        Heap::LockedFree(base_);
    }
    base_ = nullptr;
    count_ = 0;
    head_ = kEnd;
    live_ = 0;
}
