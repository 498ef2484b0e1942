#include "effects/Core/Memory/FrameWorkMemory.h"

namespace FulgorCore {

void FrameWorkMemory::Setup(void* buffer, uint32_t size) {
    uint8_t* bytes = static_cast<uint8_t*>(buffer);
    halfSize_ = (size >> 1) & 0x7FFFFFF0u;
    current_.store(0, std::memory_order_relaxed);
    used_[0].exchange(0);
    used_[1].exchange(0);
    base_[0] = bytes;
    base_[1] = bytes ? bytes + halfSize_ : nullptr;
}

void FrameWorkMemory::Flip() {
    const uint32_t next = current_.load(std::memory_order_relaxed) ^ 1u;
    current_.store(next, std::memory_order_relaxed);
    used_[next].exchange(0);
    frame_.fetch_add(1, std::memory_order_relaxed);
}

} // namespace FulgorCore
