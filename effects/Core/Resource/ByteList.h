#pragma once

#include "effects/Core/Data/BuildContext.h"
#include "effects/Core/Data/Chunk.h"

#include <cstdint>

namespace FulgorCore {

// A "List" chunk: signed bytes (texture or model numbers) copied whole into
// the block, whose length the owning record keeps in an 8-bit field, so a
// list of 300 bytes is copied whole and counts 44.
class ByteList {
public:
    // The copy, or null for an empty list or while measuring.
    static const int8_t* Copy(const BuildContext& context, const Chunk& chunk);
    static uint32_t StoredLength(const Chunk& chunk) { return chunk.size & 0xFFu; }

    // The entry at a position of the list of length n: -1 for none, entry 0
    // for one, else entry (trunc(position) mod n), the remainder taken
    // non-negative so that negative and NaN positions stay in the list.
    static int32_t Pick(const int8_t* list, uint32_t n, float position);
    // The non-negative remainder of i by n (n above 0).
    static uint32_t Wrap(int64_t i, uint32_t n);
};

} // namespace FulgorCore
