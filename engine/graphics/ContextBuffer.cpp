#include "engine/graphics/ContextBuffer.h"

#include "engine/common/Heap.h"

namespace Mireku::Graphics {

namespace {
constexpr uint32_t RoundUp(uint32_t v, uint32_t a) {
    return (v + a - 1) & ~(a - 1);
}
} // namespace

ContextBuffer::~ContextBuffer() {
    Finalize();
}

bool ContextBuffer::Initialize(uint32_t blockSize) {
    Finalize();
    current_ = 0;
    lastFrameBytes_ = 0;
    headerUsed_.exchange(0);
    payloadUsed_.exchange(0);
    // Whole headers at the front, 8-byte payloads at the back.
    blockSize_ = blockSize & ~15u;
    if (blockSize_ == 0)
        return false;
    for (uint8_t*& b : blocks_)
        b = static_cast<uint8_t*>(Common::Heap::LockedAlloc(blockSize_));
    return blocks_[0] && blocks_[1];
}

void ContextBuffer::Finalize() {
    for (uint8_t*& b : blocks_) {
        if (b)
            Common::Heap::LockedFree(b);
        b = nullptr;
    }
}

void ContextBuffer::Reset(uint32_t index) {
    lastFrameBytes_ = headerUsed_.load() + payloadUsed_.load();
    headerUsed_.exchange(0);
    payloadUsed_.exchange(0);
    current_ = index & 1;
    ++frameSerial_;
}

void* ContextBuffer::AllocBack(uint32_t size) {
    uint8_t* block = blocks_[current_];
    // A request larger than the block can never fit (and must not wrap the counters).
    if (!block || size > blockSize_)
        return nullptr;
    const uint32_t a = RoundUp(size, 8);
    const uint32_t old = payloadUsed_.fetch_add(a);
    if (!Fits())
        return nullptr;
    return block + blockSize_ - old - a;
}

CommandHeader* ContextBuffer::AllocCommand(uint32_t keyLow, uint32_t keyHigh, uint32_t type,
                                           uint32_t size) {
    auto* payload = static_cast<uint8_t*>(AllocBack(size));
    if (!payload)
        return nullptr;
    const uint32_t oldH = headerUsed_.fetch_add(sizeof(CommandHeader));
    if (!Fits())
        return nullptr;
    uint8_t* block = blocks_[current_];
    CommandHeader* h = reinterpret_cast<CommandHeader*>(block + oldH);
    *h = {keyLow, keyHigh, static_cast<uint32_t>(payload - block), type};
    return h;
}

void* ContextBuffer::AllocFront(uint32_t size) {
    uint8_t* block = blocks_[current_];
    // A request larger than the block can never fit (and must not wrap the counters).
    if (!block || size > blockSize_)
        return nullptr;
    const uint32_t old = headerUsed_.fetch_add(RoundUp(size, 16));
    if (!Fits())
        return nullptr;
    return block + old;
}

} // namespace Mireku::Graphics
