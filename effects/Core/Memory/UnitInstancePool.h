#pragma once

#include <cstdint>

namespace FulgorCore {

// Every live unit of an effect instance, every posted node event and every
// instance's root unit occupies one block. The original's 512-byte blocks
// are 1024 here: pointer-holding units grow on 64-bit. Every pooled class
// checks sizeof against this.
inline constexpr uint32_t kUnitBlockSize = 1024;

// A free list of fixed blocks over the host's unit buffer. The last freed
// block is the first reused. No lock: the unit tree runs on the updating
// thread.
class UnitInstancePool {
public:
    // capacity = size / kUnitBlockSize; a free block's first word holds the
    // index of the next free block (0xFFFFFFFF after the last).
    void Setup(void* buffer, uint32_t size);
    // A block, or null when every block is in use.
    void* Allocate();
    // Gives a block back; null or a pointer outside the pool is ignored.
    void Free(void* block);

    uint32_t GetUsedCount() const { return used_; }
    uint32_t GetCapacity() const { return capacity_; }
    uint64_t GetUsedSize() const { return uint64_t{used_} * kUnitBlockSize; }
    uint64_t GetCapacitySize() const { return uint64_t{capacity_} * kUnitBlockSize; }

private:
    static constexpr uint32_t kEnd = 0xFFFFFFFFu;

    uint8_t* base_ = nullptr;
    uint32_t capacity_ = 0;
    uint32_t freeHead_ = kEnd;
    uint32_t used_ = 0;
};

} // namespace FulgorCore
