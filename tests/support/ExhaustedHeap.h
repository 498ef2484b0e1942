// Takes every block the engine heap can still give, for as long as it lives,
// so that a test can see what a request does when the heap is exhausted.
#pragma once

#include "engine/common/Heap.h"

#include <cstddef>
#include <vector>

namespace testsupport {

class ExhaustedHeap {
public:
    // `spare` bytes stay free in one block: room for a small object only.
    explicit ExhaustedHeap(size_t spare = 0) {
        blocks_.reserve(64);
        void* kept = spare ? Mireku::Common::Heap::LockedAlloc(spare) : nullptr;
        // Halving requests leave less than 16 bytes anywhere; each failed
        // request is reported on stderr by the heap, as it should be.
        for (size_t size = Mireku::Common::Heap::kArenaSize; size >= 16; size /= 2)
            while (void* p = Mireku::Common::Heap::LockedAlloc(size))
                blocks_.push_back(p);
        Mireku::Common::Heap::LockedFree(kept);
    }
    ~ExhaustedHeap() {
        for (void* p : blocks_)
            Mireku::Common::Heap::LockedFree(p);
    }
    ExhaustedHeap(const ExhaustedHeap&) = delete;
    ExhaustedHeap& operator=(const ExhaustedHeap&) = delete;

private:
    std::vector<void*> blocks_; // std::vector: its own storage is not the engine's
};

} // namespace testsupport
