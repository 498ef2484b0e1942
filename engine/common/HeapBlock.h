#pragma once

#include "engine/common/Heap.h"

namespace Mireku::Common {

// Owns one payload of the engine heap and frees it under the heap lock.
class HeapBlock {
public:
    HeapBlock() = default;
    explicit HeapBlock(void* p) : p_(p) {}
    ~HeapBlock() { Heap::LockedFree(p_); }
    HeapBlock(const HeapBlock&) = delete;
    HeapBlock& operator=(const HeapBlock&) = delete;
    void* Get() const { return p_; }
    void* Release() {
        void* p = p_;
        p_ = nullptr;
        return p;
    }

private:
    void* p_ = nullptr;
};

} // namespace Mireku::Common
