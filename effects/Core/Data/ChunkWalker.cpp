#include "effects/Core/Data/ChunkWalker.h"

#include "sys/bytes.h"

namespace FulgorCore {

namespace {

constexpr uint32_t kHeaderSize = 8;

} // namespace

bool ChunkWalker::Next(Chunk& chunk) {
    if (offset_ >= size_)
        return false;
    const uint64_t left = uint64_t{size_} - offset_;
    const uint8_t* at = data_ + offset_;
    if (left < kHeaderSize) {
        offset_ = size_;
        return false;
    }
    const uint32_t size = sys::LoadU32(at + 4);
    if (size > left - kHeaderSize) {
        offset_ = size_;
        return false;
    }
    chunk.tag = sys::LoadU32(at);
    chunk.size = size;
    chunk.payload = at + kHeaderSize;
    const uint64_t next = offset_ + kHeaderSize + ((uint64_t{size} + 3) & ~uint64_t{3});
    offset_ = next < size_ ? static_cast<uint32_t>(next) : size_;
    return true;
}

} // namespace FulgorCore
