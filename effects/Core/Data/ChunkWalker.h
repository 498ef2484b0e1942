#pragma once

#include "effects/Core/Data/Chunk.h"

#include <cstdint>

namespace FulgorCore {

// Walks one chunk stream: {u32 tag, u32 size, payload, padding to 4 from the
// stream's start}. The walk ends when the offset reaches the stream's size,
// or at a chunk whose header or payload would reach past the end. Every
// bound is compared in 64 bits against the bytes left, so no size field can
// wrap an offset back into the stream.
class ChunkWalker {
public:
    ChunkWalker() = default;
    ChunkWalker(const void* data, uint32_t size)
        : data_(static_cast<const uint8_t*>(data)), size_(data ? size : 0) {}

    // The next chunk, or false at the end of the walk.
    bool Next(Chunk& chunk);

    uint32_t GetOffset() const { return offset_; }
    uint32_t GetSize() const { return size_; }

private:
    const uint8_t* data_ = nullptr;
    uint32_t size_ = 0;
    uint32_t offset_ = 0;
};

} // namespace FulgorCore
