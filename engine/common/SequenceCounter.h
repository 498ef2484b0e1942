#pragma once

#include <cstdint>

namespace Mireku::Common {

// Advances the low 24 bits of a word with wrap-around, keeping the high byte;
// returns the word as it was.
inline uint32_t AdvanceSequence24(uint32_t& word) {
    uint32_t old = word;
    word = (old & 0xFF000000u) | ((old + 1u) & 0x00FFFFFFu);
    return old;
}

} // namespace Mireku::Common
