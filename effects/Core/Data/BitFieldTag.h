#pragma once

#include "effects/Core/Data/Chunk.h"

#include <cstddef>
#include <cstdint>

namespace FulgorCore {

// A chunk stored into bits of a record's flags word. A tag that begins with
// a lower-case b is a flag: a nonzero word sets its bit, zero clears it. Any
// other tag is a field: the low width bits of its word are stored.
struct BitFieldTag {
    uint32_t tag;
    uint8_t shift;
    uint8_t width;
};

// Stores the chunk when its tag is in the table; false when it is not.
bool StoreBitField(const Chunk& chunk, const BitFieldTag* table, size_t count, uint32_t& word);

template <size_t N>
bool StoreBitField(const Chunk& chunk, const BitFieldTag (&table)[N], uint32_t& word) {
    return StoreBitField(chunk, table, N, word);
}

// Bits [shift, shift + width) of word.
constexpr uint32_t BitField(uint32_t word, uint32_t shift, uint32_t width) {
    return (word >> shift) & ((width >= 32 ? 0u : 1u << width) - 1u);
}

constexpr uint32_t BitField(uint32_t word, const BitFieldTag& field) {
    return BitField(word, field.shift, field.width);
}

// word with bits [shift, shift + width) replaced by the low bits of value.
constexpr uint32_t WithBitField(uint32_t word, uint32_t shift, uint32_t width, uint32_t value) {
    const uint32_t mask = ((width >= 32 ? 0u : 1u << width) - 1u) << shift;
    return (word & ~mask) | ((value << shift) & mask);
}

} // namespace FulgorCore
