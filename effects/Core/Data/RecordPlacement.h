#pragma once

#include "effects/Core/Data/BuildContext.h"
#include "effects/Core/Data/Chunk.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <string_view>

namespace FulgorCore {

// A record of type T in the runtime data block. Building: constructed at the
// next address, or null when the block is exhausted (the build has then
// failed). Measuring: the size is counted and the caller's scratch, built
// afresh, stands in, so the walk that reads into it runs as in the build.
template <class T> T* PlaceRecord(RuntimeDataAllocator& allocator, T& scratch) {
    void* at = allocator.Allocate(sizeof(T));
    if (allocator.IsMeasuring()) {
        scratch.~T();
        return new (&scratch) T();
    }
    return at ? new (at) T() : nullptr;
}

// A record of type T placed and read from a payload; extra arguments go to
// its reader. Null while measuring (the scratch the walk read into goes
// with this call, so no pointer to it can stay behind in the owner) and
// when the block is exhausted.
template <class T, class... Extra>
T* PlaceAndRead(const BuildContext& context, const void* payload, uint32_t size,
                const Extra&... extra) {
    void* at = context.allocator.Allocate(sizeof(T));
    if (context.IsMeasuring()) {
        T scratch;
        scratch.Read(context, payload, size, extra...);
        return nullptr;
    }
    if (!at)
        return nullptr;
    T* placed = new (at) T();
    placed->Read(context, payload, size, extra...);
    return placed;
}

// The measure of a record that its owner embeds: the record's walk run
// over a scratch record while the allocator measures, so that it asks for
// exactly what its build will take.
template <class T>
void MeasureRecord(const BuildContext& context, const void* payload, uint32_t size) {
    T scratch;
    scratch.Read(context, payload, size);
}

// A copy of size bytes in the block (rounded up to 16 there); null for 0
// bytes, while measuring, or when the block is exhausted.
inline void* CopyToBlock(RuntimeDataAllocator& allocator, const void* data, uint32_t size) {
    void* copy = allocator.Allocate(size);
    if (copy)
        std::memcpy(copy, data, size);
    return copy;
}

// An item count ("UTIC", "TlIC"): its signed 16-bit value, or -1 when it is
// damage, which the allocator is told of: a negative count, or a count
// after items of its kind.
inline int32_t ReadItemCount(const Chunk& chunk, uint32_t itemsRead,
                             RuntimeDataAllocator& allocator) {
    const int16_t count = chunk.I16();
    if (count < 0 || itemsRead != 0) {
        allocator.Reject();
        return -1;
    }
    return count;
}

// The chunk's text up to its first zero, copied into the block with a zero
// after it whether or not the file had one; null while measuring or when
// the block is exhausted.
inline const char* CopyTextToBlock(RuntimeDataAllocator& allocator, const Chunk& chunk) {
    const std::string_view text = chunk.Text();
    const uint32_t length =
        static_cast<uint32_t>(text.size() < UINT32_MAX ? text.size() : UINT32_MAX - 1);
    char* copy = static_cast<char*>(allocator.Allocate(length + 1));
    if (copy) {
        std::memcpy(copy, text.data(), length);
        copy[length] = '\0';
    }
    return copy;
}

} // namespace FulgorCore
