#include "effects/Core/Memory/UnitInstancePool.h"

#include <cstring>

namespace FulgorCore {

namespace {

void WriteLink(uint8_t* block, uint32_t next) {
    std::memcpy(block, &next, 4);
}

uint32_t ReadLink(const uint8_t* block) {
    uint32_t next;
    std::memcpy(&next, block, 4);
    return next;
}

} // namespace

void UnitInstancePool::Setup(void* buffer, uint32_t size) {
    base_ = static_cast<uint8_t*>(buffer);
    const uint32_t blocks = size / kUnitBlockSize;
    capacity_ = base_ ? (blocks < kMaxBlocks ? blocks : kMaxBlocks) : 0;
    freeHead_ = capacity_ ? 0 : kEnd;
    used_ = 0;
    std::memset(inUse_, 0, (capacity_ + kWordBits - 1) / kWordBits * sizeof(inUse_[0]));
    for (uint32_t i = 0; i < capacity_; ++i)
        WriteLink(base_ + uint64_t{i} * kUnitBlockSize, i + 1 < capacity_ ? i + 1 : kEnd);
}

void* UnitInstancePool::Allocate() {
    if (freeHead_ >= capacity_)
        return nullptr;
    const uint32_t index = freeHead_;
    uint8_t* block = base_ + uint64_t{index} * kUnitBlockSize;
    ++used_;
    freeHead_ = ReadLink(block);
    inUse_[index / kWordBits] |= uint64_t{1} << (index % kWordBits);
    return block;
}

void UnitInstancePool::Free(void* block) {
    uint8_t* bytes = static_cast<uint8_t*>(block);
    if (!bytes || bytes < base_ || bytes >= base_ + GetCapacitySize())
        return;
    const uint64_t offset = static_cast<uint64_t>(bytes - base_);
    if (offset % kUnitBlockSize != 0)
        return;
    const uint32_t index = static_cast<uint32_t>(offset / kUnitBlockSize);
    // A second free of one block would link it to itself and count it
    // twice.
    if (!InUse(index))
        return;
    inUse_[index / kWordBits] &= ~(uint64_t{1} << (index % kWordBits));
    WriteLink(bytes, freeHead_);
    --used_;
    freeHead_ = index;
}

} // namespace FulgorCore
