#pragma once

#include <cstdint>
#include <mutex>

namespace FulgorCore {

// Placement of the records built from one effect file into one block. The
// readers walk their chunks twice, asking for the same sizes in the same
// order: the measure pass only counts, the build pass hands out consecutive
// 16-byte-aligned addresses inside the block that the registration
// allocated from the measured size. Only the holder of the loading mutex may
// use the process-wide instance.
class RuntimeDataAllocator {
public:
    static constexpr uint32_t kAlignment = 16;

    // Measure mode on, offset 0, no failure.
    void BeginMeasure();
    void EndMeasure() { measuring_ = false; }
    // The bytes counted (measure) or placed (build) so far.
    uint32_t GetSize() const {
        return offset_ > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(offset_);
    }
    // Build mode over the block of the measured size.
    void BeginBuild(void* base, uint32_t size);

    // Null for 0 bytes, with no change. Measure mode: counts the rounded size
    // and returns null. Build mode: the next address, or null when the
    // request would reach past the block's end (a reader that asked for more
    // than it measured); the build is then marked failed.
    void* Allocate(uint32_t size);

    template <class T> T* AllocateArray(uint64_t count) {
        static_assert(alignof(T) <= kAlignment);
        const uint64_t bytes = count * sizeof(T);
        if (count != 0 && (bytes / count != sizeof(T) || bytes > UINT32_MAX)) {
            failed_ = true;
            return nullptr;
        }
        return static_cast<T*>(Allocate(static_cast<uint32_t>(bytes)));
    }

    bool IsMeasuring() const { return measuring_; }
    // A reader found damage that the load must not survive (an index past
    // its table, say); called while measuring, before the block exists.
    void Reject() { failed_ = true; }
    // A build request past the block, a measure beyond 32 bits or a reader's
    // Reject: the load must fail.
    bool HasFailed() const { return failed_; }

    static RuntimeDataAllocator& Global();
    // The process-wide recursive loading mutex, held around each pass of a
    // registration; it guards the global allocator.
    static std::recursive_mutex& LoadingMutex();

private:
    uint8_t* base_ = nullptr;
    uint32_t size_ = 0;
    uint64_t offset_ = 0;
    bool measuring_ = false;
    bool failed_ = false;
};

} // namespace FulgorCore
