#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace FulgorCore {

class ChunkWalker;

// One chunk of an effect file as the walker found it: the payload lies
// wholly inside its stream. The typed readers never read past the payload:
// a fixed-width read of a shorter payload takes the bytes there are and
// zero-extends.
struct Chunk {
    uint32_t tag = 0;
    uint32_t size = 0;
    const uint8_t* payload = nullptr;

    uint32_t U32() const;
    int32_t I32() const { return static_cast<int32_t>(U32()); }
    uint16_t U16() const;
    int16_t I16() const { return static_cast<int16_t>(U16()); }
    uint8_t U8() const { return size ? payload[0] : 0; }
    int8_t I8() const { return static_cast<int8_t>(U8()); }
    // The first word nonzero.
    bool Flag() const { return U32() != 0; }
    // The first word as a signed integer, converted.
    float IntAsFloat() const { return static_cast<float>(I32()); }
    // The first four bytes as a float, unchanged.
    float Float() const;

    // The text up to its first zero byte, or the whole payload when it has
    // none: never past the chunk.
    std::string_view Text() const;
    // The text cut to capacity - 1 characters and zero-terminated; returns
    // its length. Nothing is written for a capacity of 0.
    size_t CopyText(char* out, size_t capacity) const;
    // A fixed-size record: the payload's first bytes, the rest zero when the
    // payload is shorter.
    void CopyPayload(void* out, size_t bytes) const;

    // The chunks nested in the payload.
    ChunkWalker Children() const;
};

} // namespace FulgorCore
