#pragma once

#include <cstdint>

namespace FulgorCore {

// The host's record area, filled from both ends during one layer: draw
// records from the bottom, render and draw commands from the top. A take
// that would make the ends meet fails, and its bytes stay counted, so
// every later take of the layer fails too.
struct RenderCommandBuffer {
    static constexpr uint32_t kAlignment = 8;

    uint8_t* base = nullptr;
    uint32_t usedBottom = 0;
    uint32_t usedTop = 0;
    uint32_t size = 0;

    // Every take is a multiple of 8 bytes from an 8-aligned base and an
    // 8-multiple size, so what it hands out holds pointers aligned.
    void Reset(void* memory, uint32_t bytes) {
        const auto address = reinterpret_cast<uintptr_t>(memory);
        const uintptr_t skip = memory ? (kAlignment - address % kAlignment) % kAlignment : 0;
        base = static_cast<uint8_t*>(memory) + skip;
        size = bytes > skip ? static_cast<uint32_t>((bytes - skip) & ~(kAlignment - 1)) : 0;
        if (!memory)
            size = 0;
        Empty();
    }
    void Empty() { usedBottom = usedTop = 0; }

    void* TakeBottom(uint32_t bytes) {
        const uint32_t offset = usedBottom;
        usedBottom = Grow(usedBottom, bytes);
        return Fits() ? base + offset : nullptr;
    }
    void* TakeTop(uint32_t bytes) {
        usedTop = Grow(usedTop, bytes);
        return Fits() ? base + size - usedTop : nullptr;
    }

private:
    bool Fits() const { return uint64_t{usedTop} + usedBottom <= size; }
    // Rounded up to the alignment; saturates rather than wraps, so a layer
    // of countless failed takes still reads as full.
    static uint32_t Grow(uint32_t used, uint32_t bytes) {
        const uint64_t rounded = (uint64_t{bytes} + kAlignment - 1) & ~uint64_t{kAlignment - 1};
        const uint64_t next = used + rounded;
        return next > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(next);
    }
};

} // namespace FulgorCore
