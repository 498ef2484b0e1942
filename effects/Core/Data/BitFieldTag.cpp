#include "effects/Core/Data/BitFieldTag.h"

namespace FulgorCore {

bool StoreBitField(const Chunk& chunk, const BitFieldTag* table, size_t count, uint32_t& word) {
    for (size_t i = 0; i < count; ++i) {
        const BitFieldTag& field = table[i];
        if (field.tag != chunk.tag)
            continue;
        const bool isFlag = (chunk.tag >> 24) == 'b';
        const uint32_t value = isFlag ? (chunk.Flag() ? 1u : 0u) : chunk.U32();
        word = WithBitField(word, field.shift, field.width, value);
        return true;
    }
    return false;
}

} // namespace FulgorCore
