#include "effects/Core/Memory/UnitInstancePool.h"

#include <cstddef>
#include <cstring>

// Under AddressSanitizer (the build defines DREVANTH_POOL_POISON) a free
// block is poisoned but for its free-list word, so that a unit that reads or
// writes a block already given back (a particle left in a list after its
// deletion) is reported where it happens. The host's buffer is whole again
// once the pool lets go of it.
#if defined(DREVANTH_POOL_POISON)
#include <sanitizer/asan_interface.h>
#endif

namespace FulgorCore {

namespace {

constexpr size_t kLinkSize = 4;

// The whole stride: the unused line after a block stays poisoned while the
// block is in use too.
void PoisonFree(uint8_t* block) {
#if defined(DREVANTH_POOL_POISON)
    __asan_poison_memory_region(block + kLinkSize, kUnitBlockStride - kLinkSize);
#else
    (void)block;
#endif
}

void Unpoison(const uint8_t* p, uint64_t n) {
#if defined(DREVANTH_POOL_POISON)
    if (p)
        __asan_unpoison_memory_region(p, static_cast<size_t>(n));
#else
    (void)p;
    (void)n;
#endif
}

void WriteLink(uint8_t* block, uint32_t next) {
    std::memcpy(block, &next, kLinkSize);
}

uint32_t ReadLink(const uint8_t* block) {
    uint32_t next;
    std::memcpy(&next, block, kLinkSize);
    return next;
}

} // namespace

void UnitInstancePool::Setup(void* buffer, uint32_t size) {
    Unpoison(base_, Span());
    base_ = static_cast<uint8_t*>(buffer);
    const uint32_t blocks = size / kUnitBlockStride;
    capacity_ = base_ ? (blocks < kMaxBlocks ? blocks : kMaxBlocks) : 0;
    freeHead_ = capacity_ ? 0 : kEnd;
    used_ = 0;
    refused_ = 0;
    std::memset(inUse_, 0, (capacity_ + kWordBits - 1) / kWordBits * sizeof(inUse_[0]));
    for (uint32_t i = 0; i < capacity_; ++i) {
        uint8_t* block = base_ + uint64_t{i} * kUnitBlockStride;
        WriteLink(block, i + 1 < capacity_ ? i + 1 : kEnd);
        PoisonFree(block);
    }
}

void* UnitInstancePool::Allocate() {
    if (freeHead_ >= capacity_) {
        ++refused_;
        return nullptr;
    }
    const uint32_t index = freeHead_;
    uint8_t* block = base_ + uint64_t{index} * kUnitBlockStride;
    ++used_;
    freeHead_ = ReadLink(block);
    inUse_[index / kWordBits] |= uint64_t{1} << (index % kWordBits);
    Unpoison(block, kUnitBlockSize);
    return block;
}

void UnitInstancePool::Free(void* block) {
    uint8_t* bytes = static_cast<uint8_t*>(block);
    if (!bytes || bytes < base_ || bytes >= base_ + Span())
        return;
    // Any address inside a block stands for the block: an owner may hand
    // back a pointer to a record it keeps inside one. No unit lies in the
    // line after a block.
    const uint64_t offset = static_cast<uint64_t>(bytes - base_);
    if (offset % kUnitBlockStride >= kUnitBlockSize)
        return;
    const auto index = static_cast<uint32_t>(offset / kUnitBlockStride);
    bytes = base_ + uint64_t{index} * kUnitBlockStride;
    // A second free of one block would link it to itself and count it
    // twice.
    if (!InUse(index))
        return;
    inUse_[index / kWordBits] &= ~(uint64_t{1} << (index % kWordBits));
    WriteLink(bytes, freeHead_);
    PoisonFree(bytes);
    --used_;
    freeHead_ = index;
}

} // namespace FulgorCore
