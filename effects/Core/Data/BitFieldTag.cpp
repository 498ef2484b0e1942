#include "effects/Core/Data/BitFieldTag.h"

namespace FulgorCore {

namespace {

// The first character of a tag is its highest nonzero byte ("bRZ" is
// 0x0062525A).
uint32_t FirstCharacter(uint32_t tag) {
    while (tag > 0xFFu)
        tag >>= 8;
    return tag;
}

} // namespace

bool StoreBitField(const Chunk& chunk, const BitFieldTag* table, size_t count, uint32_t& word) {
    for (size_t i = 0; i < count; ++i) {
        const BitFieldTag& field = table[i];
        if (field.tag != chunk.tag)
            continue;
        const bool isFlag = FirstCharacter(chunk.tag) == 'b';
        const uint32_t value = isFlag ? (chunk.Flag() ? 1u : 0u) : chunk.U32();
        word = WithBitField(word, field.shift, field.width, value);
        return true;
    }
    return false;
}

} // namespace FulgorCore
