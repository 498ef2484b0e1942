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
    capacity_ = base_ ? size / kUnitBlockSize : 0;
    freeHead_ = 0;
    used_ = 0;
    for (uint32_t i = 0; i < capacity_; ++i)
        WriteLink(base_ + uint64_t{i} * kUnitBlockSize, i + 1 < capacity_ ? i + 1 : kEnd);
}

void* UnitInstancePool::Allocate() {
    if (freeHead_ >= capacity_)
        return nullptr;
    uint8_t* block = base_ + uint64_t{freeHead_} * kUnitBlockSize;
    ++used_;
    freeHead_ = ReadLink(block);
    return block;
}

void UnitInstancePool::Free(void* block) {
    uint8_t* bytes = static_cast<uint8_t*>(block);
    if (!bytes || bytes < base_ || bytes >= base_ + GetCapacitySize())
        return;
    const uint32_t index = static_cast<uint32_t>((bytes - base_) / kUnitBlockSize);
    WriteLink(bytes, freeHead_);
    --used_;
    freeHead_ = index;
}

} // namespace FulgorCore
