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

// Every line from `first` up to (not including) `end`; a block need not
// start on a line, so the walk starts at the line `first` lies in.
inline void PrefetchRange(const void* first, const void* end) {
    const auto from = reinterpret_cast<uintptr_t>(first) & ~uintptr_t{63};
    for (uintptr_t line = from; line < reinterpret_cast<uintptr_t>(end); line += 64)
        __builtin_prefetch(reinterpret_cast<const void*>(line));
}

// The first five cache lines of a draw unit: the base's state and what a
// type's draw reads next.
inline constexpr uint32_t kDrawUnitLines = 5;

// The draw units of an instance fetched when it is collected, one instance
// before it draws: the first ones its draw order reaches.
inline constexpr uint32_t kCollectedUnitsAhead = 8;

} // namespace FulgorCore::Renderer
