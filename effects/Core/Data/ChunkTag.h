#pragma once

#include <cstddef>
#include <cstdint>

namespace FulgorCore {

// A chunk tag is up to four characters read as one little-endian word whose
// most significant byte is the first character: "Pack" is 0x5061636B (stored
// 6B 63 61 50), and the three-character "Ver" is 0x00566572.
template <size_t N> constexpr uint32_t MakeChunkTag(const char (&text)[N]) {
    static_assert(N >= 2 && N <= 5, "a tag has one to four characters");
    uint32_t tag = 0;
    for (size_t i = 0; i + 1 < N; ++i)
        tag = (tag << 8) | static_cast<uint8_t>(text[i]);
    return tag;
}

} // namespace FulgorCore
