#pragma once

#include <cstdint>

namespace FulgorCore::Renderer {

// The layer draw follows pointers from the sorted list to instance
// records, roots, draw lists and draw units, each in a block of its own:
// what an instance's draw reads is asked for while earlier ones draw.
inline void PrefetchLines(const void* first, uint32_t lines) {
    const auto* bytes = static_cast<const char*>(first);
    for (uint32_t line = 0; line < lines; ++line)
        __builtin_prefetch(bytes + 64 * line);
}

// Every line of the `bytes` bytes from `first`: a block need not start on
// a line, so besides one address every 64 bytes its last byte is asked
// for. With a constant size this is a few instructions and no loop.
inline void PrefetchSpan(const void* first, uint32_t bytes) {
    const auto* start = static_cast<const char*>(first);
    for (uint32_t offset = 0; offset < bytes; offset += 64)
        __builtin_prefetch(start + offset);
    __builtin_prefetch(start + bytes - 1);
}

// The first five cache lines of a draw unit: the base's state and what a
// type's draw reads next.
inline constexpr uint32_t kDrawUnitLines = 5;

} // namespace FulgorCore::Renderer
