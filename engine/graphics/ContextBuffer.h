#pragma once

#include "engine/common/Singleton.h"
#include "engine/common/SingletonObject.h"
#include "engine/graphics/CommandHeader.h"

#include <atomic>
#include <cstdint>

namespace Mireku::Graphics {

// The two command blocks. In the block being recorded, headers grow upward
// from the start and payloads downward from the end; each reservation is one
// atomic addition, and the block is full once headers + payloads exceed it.
class ContextBuffer : public Common::SingletonObject, public Common::Singleton<ContextBuffer> {
public:
    ~ContextBuffer() override;

    // Allocates both blocks of `blockSize` bytes; false when either is missing.
    bool Initialize(uint32_t blockSize);
    void Finalize();
    // Hands the current block over: keeps its usage, empties the counters and
    // makes block `index` current.
    void Reset(uint32_t index);

    uint8_t* GetCurrentBlock() const { return blocks_[current_]; }
    uint32_t GetCurrentIndex() const { return current_; }
    uint32_t GetBlockSize() const { return blockSize_; }
    uint32_t GetHeaderUsed() const { return headerUsed_.load(std::memory_order_relaxed); }
    uint32_t GetPayloadUsed() const { return payloadUsed_.load(std::memory_order_relaxed); }
    uint32_t GetLastFrameBytes() const { return lastFrameBytes_; }
    // Counts the frames recorded: data reserved under another serial lies in a
    // block that belongs to another frame.
    uint32_t GetFrameSerial() const { return frameSerial_; }

    // Reserves a header and `size` payload bytes; null when the block is full.
    CommandHeader* AllocCommand(uint32_t keyLow, uint32_t keyHigh, uint32_t type, uint32_t size);
    // Payload-side reservation (8-byte aligned); null when full.
    void* AllocBack(uint32_t size);
    // Header-side reservation (16-byte aligned, so headers stay aligned); null when full.
    void* AllocFront(uint32_t size);

private:
    bool Fits() const {
        return static_cast<uint64_t>(headerUsed_.load(std::memory_order_relaxed)) +
                   payloadUsed_.load(std::memory_order_relaxed) <=
               blockSize_;
    }

    std::atomic<uint32_t> headerUsed_{0};
    std::atomic<uint32_t> payloadUsed_{0};
    uint32_t current_ = 0;
    uint32_t blockSize_ = 0;
    uint32_t lastFrameBytes_ = 0;
    uint32_t frameSerial_ = 0;
    uint8_t* blocks_[2] = {nullptr, nullptr};
};

} // namespace Mireku::Graphics
