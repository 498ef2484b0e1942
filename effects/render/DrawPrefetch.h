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

// From `first` up to (not including) `end`.
inline void PrefetchRange(const void* first, const void* end) {
    const auto* bytes = static_cast<const char*>(first);
    for (; bytes < static_cast<const char*>(end); bytes += 64)
        __builtin_prefetch(bytes);
}

// The first five cache lines of a draw unit: the base's state and what a
// type's draw reads next.
inline constexpr uint32_t kDrawUnitLines = 5;

} // namespace FulgorCore::Renderer
