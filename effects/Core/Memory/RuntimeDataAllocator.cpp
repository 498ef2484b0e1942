#include "effects/Core/Memory/RuntimeDataAllocator.h"

namespace FulgorCore {

void RuntimeDataAllocator::BeginMeasure() {
    base_ = nullptr;
    size_ = 0;
    offset_ = 0;
    measuring_ = true;
    failed_ = false;
}

void RuntimeDataAllocator::BeginBuild(void* base, uint32_t size) {
    base_ = static_cast<uint8_t*>(base);
    size_ = size;
    offset_ = 0;
    measuring_ = false;
    failed_ = false;
}

void* RuntimeDataAllocator::Allocate(uint32_t size) {
    if (size == 0)
        return nullptr;
    const uint64_t rounded = (uint64_t{size} + kAlignment - 1) & ~uint64_t{kAlignment - 1};
    if (measuring_) {
        offset_ += rounded;
        if (offset_ > UINT32_MAX)
            failed_ = true;
        return nullptr;
    }
    if (!base_ || offset_ + rounded > size_) {
        failed_ = true;
        return nullptr;
    }
    void* placed = base_ + offset_;
    offset_ += rounded;
    return placed;
}

RuntimeDataAllocator& RuntimeDataAllocator::Global() {
    static RuntimeDataAllocator allocator;
    return allocator;
}

std::recursive_mutex& RuntimeDataAllocator::LoadingMutex() {
    static std::recursive_mutex mutex;
    return mutex;
}

} // namespace FulgorCore
