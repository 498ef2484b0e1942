#include "effects/Core/Data/Chunk.h"

#include "effects/Core/Data/ChunkWalker.h"
#include "sys/bytes.h"

#include <cstring>

namespace FulgorCore {

namespace {

// memcpy of nothing from a null payload is still undefined.
void CopyBytes(void* to, const void* from, size_t n) {
    if (n)
        std::memcpy(to, from, n);
}

} // namespace

uint32_t Chunk::U32() const {
    uint8_t bytes[4] = {0, 0, 0, 0};
    CopyBytes(bytes, payload, size < 4 ? size : 4);
    return sys::LoadU32(bytes);
}

uint16_t Chunk::U16() const {
    uint8_t bytes[2] = {0, 0};
    CopyBytes(bytes, payload, size < 2 ? size : 2);
    return sys::LoadU16(bytes);
}

float Chunk::Float() const {
    const uint32_t bits = U32();
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

std::string_view Chunk::Text() const {
    const char* text = reinterpret_cast<const char*>(payload);
    const void* end = size ? std::memchr(text, 0, size) : nullptr;
    return std::string_view(text, end ? static_cast<const char*>(end) - text : size);
}

size_t Chunk::CopyText(char* out, size_t capacity) const {
    if (capacity == 0)
        return 0;
    const std::string_view text = Text();
    const size_t n = text.size() < capacity ? text.size() : capacity - 1;
    CopyBytes(out, text.data(), n);
    out[n] = '\0';
    return n;
}

void Chunk::CopyPayload(void* out, size_t bytes) const {
    const size_t n = size < bytes ? size : bytes;
    CopyBytes(out, payload, n);
    std::memset(static_cast<uint8_t*>(out) + n, 0, bytes - n);
}

ChunkWalker Chunk::Children() const {
    return ChunkWalker(payload, size);
}

} // namespace FulgorCore
