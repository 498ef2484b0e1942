#pragma once

#include <cstdint>

namespace FulgorCore {

// Every live unit of an effect instance, every posted node event and every
// instance's root unit occupies one block. 1024 bytes leaves room for the
// pointer-holding units at their 64-bit size; every pooled class checks
// sizeof against this.
inline constexpr uint32_t kUnitBlockSize = 1024;
// The distance from one block to the next: a block and one 64-byte line
// that nothing uses. With blocks a power of two apart a field lies at the
// same offset within every block, so the same field of thousands of units
// would share a sixteenth of the cache's sets and a frame over them would
// keep missing; an odd number of lines spreads them over every set.
inline constexpr uint32_t kUnitBlockStride = kUnitBlockSize + 64;
static_assert(kUnitBlockStride % 64 == 0 && kUnitBlockStride / 64 % 2 == 1,
              "blocks start on lines and lie an odd number of lines apart");

// A free list of fixed blocks over the host's unit buffer. The last freed
// block is the first reused. No lock: the unit tree runs on the updating
// thread. Sanitizer builds poison every free block but its first word, and
// the unused line after every block, in use or not.
class UnitInstancePool {
public:
    // The most blocks one pool keeps track of (272 MiB of unit memory); a
    // larger buffer lends only these.
    static constexpr uint32_t kMaxBlocks = 262144;

    // capacity = size / kUnitBlockStride (at most kMaxBlocks); a free block's
    // first word holds the index of the next free block (0xFFFFFFFF after
    // the last). A null buffer leaves the pool empty.
    void Setup(void* buffer, uint32_t size);
    // A block, or null when every block is in use (a refused take, counted).
    void* Allocate();
    // Gives back the block that holds `block` (its start or any address
    // inside it). Null, a pointer outside the pool or in the unused line
    // after a block, and a block that is already free are refused: the
    // count and the free list stay as they were.
    void Free(void* block);

    uint32_t GetUsedCount() const { return used_; }
    uint32_t GetCapacity() const { return capacity_; }
    // The bytes the blocks hold, without the unused lines between them.
    uint64_t GetUsedSize() const { return uint64_t{used_} * kUnitBlockSize; }
    uint64_t GetCapacitySize() const { return uint64_t{capacity_} * kUnitBlockSize; }
    // Takes refused since the set-up: whatever asked went without its unit.
    uint64_t GetRefusedCount() const { return refused_; }

private:
    static constexpr uint32_t kEnd = 0xFFFFFFFFu;
    static constexpr uint32_t kWordBits = 64;

    // The bytes the blocks and the lines after them take.
    uint64_t Span() const { return uint64_t{capacity_} * kUnitBlockStride; }
    bool InUse(uint32_t index) const {
        return (inUse_[index / kWordBits] >> (index % kWordBits)) & 1u;
    }

    uint8_t* base_ = nullptr;
    uint32_t capacity_ = 0;
    uint32_t freeHead_ = kEnd;
    uint32_t used_ = 0;
    uint64_t refused_ = 0;
    // Bit i set while block i is handed out.
    uint64_t inUse_[kMaxBlocks / kWordBits] = {};
};

} // namespace FulgorCore
