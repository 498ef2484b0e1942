#pragma once

#include <atomic>
#include <cstdint>

namespace FulgorCore {

// Per-frame work memory over a host buffer, double-buffered: what a frame
// takes stays untouched through the next frame and is reused in the one
// after. Allocation is one atomic add, so job bodies on the host's threads
// may allocate at once; there is no free.
class FrameWorkMemory {
public:
    // Halves of (size / 2) rounded down to 16 bytes; half 0 current.
    void Setup(void* buffer, uint32_t size);
    // Rounds the request up to 16 bytes. A request that does not fit returns
    // null and its bytes stay counted, so every later request of the frame
    // fails too.
    void* Allocate(uint32_t size) {
        const uint32_t half = current_.load(std::memory_order_relaxed);
        const uint64_t rounded = (uint64_t{size} + 15u) & ~uint64_t{15};
        const uint64_t old = used_[half].fetch_add(rounded);
        if (old + rounded > halfSize_ || !base_[half])
            return nullptr;
        return base_[half] + old;
    }
    // Makes the other half current and empty.
    void Flip();
    // The flips so far (wrapping): a block taken while this is f stays
    // untouched while it is f or f + 1.
    uint32_t GetFrame() const { return frame_.load(std::memory_order_relaxed); }
    // Whether a block taken while the count was `frame` is still untouched.
    bool Keeps(uint32_t frame) const { return GetFrame() - frame <= 1u; }

    uint32_t GetHalfSize() const { return halfSize_; }
    uint32_t GetCurrentHalf() const { return current_.load(std::memory_order_relaxed); }
    // The bytes the current half has handed out, failed requests included:
    // above the half size once a request of the frame has failed.
    uint64_t GetUsedSize() const { return used_[GetCurrentHalf()].load(std::memory_order_relaxed); }

private:
    uint8_t* base_[2] = {nullptr, nullptr};
    uint32_t halfSize_ = 0;
    std::atomic<uint32_t> current_{0};
    std::atomic<uint32_t> frame_{0};
    // 64 bits: failed requests keep adding, and a 32-bit counter could wrap
    // back into range after a few large ones.
    std::atomic<uint64_t> used_[2] = {0, 0};
};

} // namespace FulgorCore
