#pragma once

#include "effects/Core/Interface/IDevice.h"
#include "effects/Core/Interface/IIndexBuffer.h"
#include "effects/Core/Interface/IVertexBuffer.h"

#include <cstdint>

namespace FulgorCore {

// A pool of device buffers of one size, into which a frame's geometry is
// written (T is IVertexBuffer or IIndexBuffer). A buffer the device could
// not make counts as one whose lock fails: it is never handed to the
// device.
template <class T> struct Buffer {
    struct Entry {
        T* buffer;          // null when the device could not make it
        uint32_t committed; // bytes handed to batches
        // Where the current lock began: the device is told the bytes
        // written from there, not from the buffer's start.
        uint32_t mappedOffset;
        uint8_t locked;
    };
    // The bytes reserved since the last flush are not counted here: they
    // are how far the renderer's write pointer has moved since the batch
    // began (RendererWorkData), so a reservation only moves the pointer.
    static_assert(sizeof(Entry) == 24, "a buffer pointer, two counts and the lock flag");

    uint32_t first = 0;   // the entry current when the layer began
    uint32_t current = 0; // the entry being written
    uint32_t count = 0;
    uint32_t size = 0; // bytes of every buffer
    Entry* entries = nullptr;

    // Back to the first entry with nothing used.
    void Rewind() {
        first = current = 0;
        if (count)
            entries[0].committed = 0;
    }

    // A layer begins where the previous one stopped: the current entry's
    // unused rest is locked. Null when it is full or cannot be locked.
    void* LockRest(IDevice* device) {
        first = current;
        if (current >= count)
            return nullptr;
        Entry& entry = entries[current];
        void* write = nullptr;
        if (entry.committed < size)
            write = Lock(device, entry, entry.committed, size - entry.committed);
        entry.locked = write ? 1 : 0;
        return write;
    }

    // Moves on to the next entry and locks it whole; null when the pool has
    // no further buffer or the lock fails.
    void* LockNext(IDevice* device) {
        if (current + 1 >= count)
            return nullptr;
        ++current;
        Entry& entry = entries[current];
        entry.committed = 0;
        void* write = Lock(device, entry, 0, size);
        if (!write)
            return nullptr;
        entry.locked = 1;
        return write;
    }

    Entry* Current() { return current < count ? &entries[current] : nullptr; }

    // Hands every range locked since the layer began back to the device
    // with the bytes written from where its lock began.
    void Commit(IDevice* device) {
        for (uint32_t i = first; i <= current && i < count; ++i) {
            Entry& entry = entries[i];
            if (!entry.locked)
                continue;
            Unlock(device, entry.buffer, entry.committed - entry.mappedOffset);
            entry.locked = 0;
        }
    }

private:
    static void* Lock(IDevice* device, Entry& entry, uint32_t offset, uint32_t bytes) {
        if (!entry.buffer)
            return nullptr;
        entry.mappedOffset = offset;
        return LockBuffer(device, entry.buffer, offset, bytes);
    }
    static void* LockBuffer(IDevice* device, IVertexBuffer* buffer, uint32_t offset,
                            uint32_t bytes) {
        return device->LockVertexBuffer(buffer, offset, bytes);
    }
    static void* LockBuffer(IDevice* device, IIndexBuffer* buffer, uint32_t offset,
                            uint32_t bytes) {
        return device->LockIndexBuffer(buffer, offset, bytes);
    }
    static void Unlock(IDevice* device, IVertexBuffer* buffer, uint32_t bytes) {
        device->UnlockVertexBuffer(buffer, bytes);
    }
    static void Unlock(IDevice* device, IIndexBuffer* buffer, uint32_t bytes) {
        device->UnlockIndexBuffer(buffer, bytes);
    }
};

} // namespace FulgorCore
