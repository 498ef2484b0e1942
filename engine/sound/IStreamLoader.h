// The byte source a stream decoder reads compressed data through. Shared with
// decoder plug-ins, so it is a plain interface with no engine dependencies.
#pragma once

#include <cstdint>

namespace Mireku::Sound {

class IStreamLoader {
public:
    virtual ~IStreamLoader() = default;
    // Copies up to `count` bytes from the current position; returns the count.
    virtual uint32_t Read(void* buffer, uint32_t count) = 0;
    virtual uint32_t Tell() = 0;
    // Each returns the new position.
    virtual uint32_t SeekSet(int32_t offset) = 0;
    virtual uint32_t SeekEnd(int32_t offset) = 0;
    virtual uint32_t SeekCurrent(int32_t offset) = 0;
};

} // namespace Mireku::Sound
