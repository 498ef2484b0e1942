#pragma once

#include <cstdint>

namespace FulgorCore {

// A pool of device buffers of one size, into which a frame's geometry is
// written (T is IVertexBuffer or IIndexBuffer).
template <class T> struct Buffer {
    struct Entry {
        T* buffer;          // null when the device could not make it
        uint32_t committed; // bytes already handed to batches
        uint32_t pending;   // bytes reserved since the last flush
        uint8_t locked;
    };

    uint32_t first = 0;   // the entry current when the layer began
    uint32_t current = 0; // the entry being written
    uint32_t count = 0;
    uint32_t size = 0; // bytes of every buffer
    Entry* entries = nullptr;

    // Back to the first entry with nothing used.
    void Rewind() {
        first = current = 0;
        if (count) {
            entries[0].committed = 0;
            entries[0].pending = 0;
        }
    }
};

} // namespace FulgorCore
